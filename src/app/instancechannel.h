// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <chrono>

class QLocalSocket;

// Hands the arguments of a second launch to the instance already running, one per user, through a
// local socket in the user's runtime folder that only the user may open.
//
// The message is a fixed greeting, then each argument in UTF-8 followed by a NUL, then one more NUL;
// the running instance answers "ok\n" once it has taken them. Peers are outside data: one that sends
// anything else, more than maxMessageBytes or maxArguments, or does not finish within the time-out,
// is dropped and nothing of it is acted on.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype maxMessageBytes = 256 * 1024;
    static constexpr qsizetype maxArguments = 256;

    explicit InstanceChannel(
        std::chrono::milliseconds peerTimeout = std::chrono::seconds(3), QObject *parent = nullptr);

    static QString socketPath();
    // True when a running instance took the arguments.
    static bool handOver(const QStringList &arguments, std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Starts taking arguments from later launches; false, printing why, when the socket cannot be
    // made (the program then runs without).
    bool listen();

Q_SIGNALS:
    void argumentsReceived(const QStringList &arguments);

private:
    void accept();
    void read(QLocalSocket *socket);

    QLocalServer m_server;
    std::chrono::milliseconds m_peerTimeout;
};
