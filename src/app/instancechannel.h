// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <QHash>

#include <chrono>
#include <functional>

class InstanceLock;
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
// finish within the time-out, is dropped and nothing of it is acted on. At most maxConnections peers
// are heard at once and at most maxPendingBytes of unfinished messages kept between them; a peer past
// either bound is dropped at once.
//
// Only the holder of the InstanceLock listens. A launch that finds the lock held hands over and
// waits for the answer as long as the lock stays held (the instance may be busy or stopped), so it
// never runs as a second instance beside it, and it sends its arguments again only when the instance
// let go of them untaken.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype maxMessageBytes = 256 * 1024;
    static constexpr qsizetype maxArguments = 256;
    static constexpr qsizetype maxTokenBytes = 1024;
    static constexpr qsizetype maxConnections = 16;
    static constexpr qsizetype maxPendingBytes = 4 * maxMessageBytes;

    explicit InstanceChannel(
        std::chrono::milliseconds peerTimeout = std::chrono::seconds(3), QObject *parent = nullptr);

    static QString socketPath();
    // True when a running instance took the arguments. An invalid token is left out. When an
    // answer is slower than `timeout`, `keepWaiting` (when given) says whether to wait on.
    static bool handOver(const QStringList &arguments, const QByteArray &activationToken = {},
        std::chrono::milliseconds timeout = std::chrono::seconds(5), const std::function<bool()> &keepWaiting = {});
    // True when the running instance took the arguments; false once this process holds `lock` and
    // is the instance itself (or when no lock can be had here and no instance answered).
    static bool handOverOrAcquire(const QStringList &arguments, const QByteArray &activationToken, InstanceLock &lock,
        std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Starts taking arguments from later launches; false, printing why, when the socket cannot be
    // made (the program then runs without).
    bool listen();

Q_SIGNALS:
    // `activationToken` is empty when the launch brought none.
    void argumentsReceived(const QStringList &arguments, const QByteArray &activationToken);

private:
    void accept();
    // True once the peer is answered or dropped.
    bool read(QLocalSocket *socket);
    void drop(QLocalSocket *socket);
    void forget(QLocalSocket *socket);

    // What each peer heard now has sent of its message so far. Before the server, whose sockets
    // still report their end to forget() while it is destroyed.
    QHash<QLocalSocket *, QByteArray> m_messages;
    qsizetype m_pendingBytes = 0;
    QLocalServer m_server;
    std::chrono::milliseconds m_peerTimeout;
};
