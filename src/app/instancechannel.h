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
// The message is a greeting, then (since the second form) the launch's activation token followed by
// a NUL, then each argument in UTF-8 followed by a NUL, then one more NUL; the running instance
// answers "ok\n" once it has taken them. The token (X11's startup id or Wayland's activation token,
// possibly empty) lets the running instance end the launch's startup notification and raise its
// window for it. Both forms are understood, so launches of an older build still reach a newer
// instance, and a launch falls back to the first form when the instance only knows that one.
// Peers are outside data: one that sends anything else, a token longer than maxTokenBytes or with
// characters other than printable ASCII, more than maxMessageBytes or maxArguments, or does not
// finish within the time-out, is dropped and nothing of it is acted on.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype maxMessageBytes = 256 * 1024;
    static constexpr qsizetype maxArguments = 256;
    static constexpr qsizetype maxTokenBytes = 1024;

    explicit InstanceChannel(
        std::chrono::milliseconds peerTimeout = std::chrono::seconds(3), QObject *parent = nullptr);

    static QString socketPath();
    // True when a running instance took the arguments. An invalid token is left out.
    static bool handOver(const QStringList &arguments, const QByteArray &activationToken = {},
        std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Starts taking arguments from later launches; false, printing why, when the socket cannot be
    // made (the program then runs without).
    bool listen();

Q_SIGNALS:
    // `activationToken` is empty when the launch brought none.
    void argumentsReceived(const QStringList &arguments, const QByteArray &activationToken);

private:
    void accept();
    void read(QLocalSocket *socket);

    QLocalServer m_server;
    std::chrono::milliseconds m_peerTimeout;
};
