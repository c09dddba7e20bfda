// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/instancechannel.h"

#include "app/instancelock.h"

#include "platform/text/standardoutput.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <thread>

using namespace Qt::Literals::StringLiterals;

namespace {

// The first form carries arguments only; the second adds the launch's activation token before them.
const QByteArray greeting = QByteArrayLiteral("glimbar-open 1\n");
const QByteArray tokenGreeting = QByteArrayLiteral("glimbar-open 2\n");
const QByteArray answer = QByteArrayLiteral("ok\n");

bool isValidToken(const QByteArray &token)
{
    return token.size() <= InstanceChannel::maxTokenBytes
        && std::all_of(token.cbegin(), token.cend(), [](char c) { return c > ' ' && c < 0x7f; });
}

QByteArray encode(const QByteArray &greetingLine, const QByteArray *token, const QStringList &arguments)
{
    QByteArray message = greetingLine;
    if (token) {
        message += *token;
        message += '\0';
    }
    for (const QString &argument : arguments) {
        if (argument.isEmpty())
            continue;
        message += argument.toUtf8();
        message += '\0';
    }
    message += '\0';
    return message;
}

enum class Delivery { taken, refused, failed };

// One attempt. Refused: the peer hung up without taking the message, as one that does not know its
// form does at once.
Delivery send(const QByteArray &message, std::chrono::milliseconds timeout, const std::function<bool()> &keepWaiting)
{
    QLocalSocket socket;
    socket.connectToServer(InstanceChannel::socketPath());
    if (!socket.waitForConnected(int(timeout.count())))
        return Delivery::failed;
    socket.write(message);
    if (!socket.waitForBytesWritten(int(timeout.count())))
        return socket.state() == QLocalSocket::UnconnectedState ? Delivery::refused : Delivery::failed;
    QByteArray reply;
    while (reply.size() < answer.size()) {
        if (socket.waitForReadyRead(int(timeout.count()))) {
            reply += socket.readAll();
            continue;
        }
        // The message may already lie in the instance's socket: sent again, it would be acted on twice.
        if (socket.state() != QLocalSocket::ConnectedState || !keepWaiting || !keepWaiting())
            break;
    }
    reply += socket.readAll();
    if (reply.startsWith(answer))
        return Delivery::taken;
    return socket.state() == QLocalSocket::UnconnectedState ? Delivery::refused : Delivery::failed;
}

// The arguments and token of a complete message; none while it is incomplete or when it is malformed.
enum class Parse { incomplete, complete, malformed };

Parse parse(const QByteArray &message, QStringList &arguments, QByteArray &token)
{
    const qsizetype prefix = std::min(message.size(), greeting.size());
    const bool firstForm = message.left(prefix) == greeting.left(prefix);
    if (!firstForm && message.left(prefix) != tokenGreeting.left(prefix))
        return Parse::malformed;
    if (message.size() < greeting.size())
        return Parse::incomplete;
    arguments.clear();
    token.clear();
    qsizetype start = greeting.size();
    if (!firstForm) {
        const qsizetype end = message.indexOf('\0', start);
        if (end < 0)
            return message.size() - start > InstanceChannel::maxTokenBytes ? Parse::malformed : Parse::incomplete;
        token = message.mid(start, end - start);
        if (!isValidToken(token))
            return Parse::malformed;
        start = end + 1;
    }
    while (start < message.size()) {
        const qsizetype end = message.indexOf('\0', start);
        if (end < 0)
            return Parse::incomplete;
        if (end == start)
            return end + 1 == message.size() ? Parse::complete : Parse::malformed;
        if (arguments.size() >= InstanceChannel::maxArguments)
            return Parse::malformed;
        const QByteArray bytes = message.mid(start, end - start);
        const QString text = QString::fromUtf8(bytes);
        // Text that does not come back to the same bytes was not UTF-8.
        if (text.toUtf8() != bytes)
            return Parse::malformed;
        arguments.append(text);
        start = end + 1;
    }
    return Parse::incomplete;
}

} // namespace

InstanceChannel::InstanceChannel(std::chrono::milliseconds peerTimeout, QObject *parent)
    : QObject(parent)
    , m_peerTimeout(peerTimeout)
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceChannel::accept);
}

QString InstanceChannel::socketPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)).filePath(u"glimbar-instance"_s);
}

bool InstanceChannel::handOver(const QStringList &arguments, const QByteArray &activationToken,
    std::chrono::milliseconds timeout, const std::function<bool()> &keepWaiting)
{
    const QByteArray token = isValidToken(activationToken) ? activationToken : QByteArray();
    switch (send(encode(tokenGreeting, &token, arguments), timeout, keepWaiting)) {
    case Delivery::taken:
        return true;
    case Delivery::failed:
        return false;
    case Delivery::refused:
        // An instance of an older build drops the second form at once; it still takes the arguments.
        return send(encode(greeting, nullptr, arguments), timeout, keepWaiting) == Delivery::taken;
    }
    return false;
}

bool InstanceChannel::handOverOrAcquire(const QStringList &arguments, const QByteArray &activationToken,
    InstanceLock &lock, std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    bool announced = false;
    const auto announce = [&announced] {
        if (!announced)
            printLine(tr("Waiting for the running Glimbar to answer\u2026"));
        announced = true;
    };
    const auto instanceRuns = [&lock, &announce] {
        if (lock.tryAcquire() != InstanceLock::State::heldElsewhere)
            return false;
        announce();
        return true;
    };
    for (;;) {
        switch (lock.tryAcquire()) {
        case InstanceLock::State::held:
            return false;
        case InstanceLock::State::unavailable:
            // Nothing tells whether an instance runs: one that answers is the only sign.
            return handOver(arguments, activationToken, timeout);
        case InstanceLock::State::heldElsewhere:
            break;
        }
        if (handOver(arguments, activationToken, timeout, instanceRuns))
            return true;
        // The instance is starting and not listening yet, or it let go of the message untaken.
        if (Clock::now() - start > timeout)
            announce();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

bool InstanceChannel::listen()
{
    const QString path = socketPath();
    // A socket left by an instance that ended without removing it answers nobody; the caller has
    // found that no instance answers.
    QLocalServer::removeServer(path);
    if (!m_server.listen(path)) {
        printLine(tr("Later launches cannot reach this one: %1").arg(m_server.errorString()));
        return false;
    }
    return true;
}

void InstanceChannel::accept()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        if (m_messages.size() >= maxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_messages.insert(socket, QByteArray());
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            forget(socket);
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        // A peer that never finishes is dropped; the socket is the timer's parent, so a peer
        // that went away takes its timer with it. What arrived meanwhile is read first: after this
        // process was stopped, the timer may come before the bytes that were waiting all along.
        QTimer::singleShot(m_peerTimeout, socket, [this, socket] {
            if (!m_messages.contains(socket) || (socket->bytesAvailable() > 0 && read(socket)))
                return;
            drop(socket);
        });
    }
}

bool InstanceChannel::read(QLocalSocket *socket)
{
    const auto found = m_messages.find(socket);
    if (found == m_messages.end())
        return true;
    const qsizetype before = found->size();
    const QByteArray arrived = socket->read(maxMessageBytes + 1 - before);
    if (before + arrived.size() > maxMessageBytes || m_pendingBytes + arrived.size() > maxPendingBytes) {
        drop(socket);
        return true;
    }
    found->append(arrived);
    m_pendingBytes += arrived.size();
    QStringList arguments;
    QByteArray token;
    switch (parse(*found, arguments, token)) {
    case Parse::incomplete:
        return false;
    case Parse::malformed:
        drop(socket);
        return true;
    case Parse::complete:
        forget(socket);
        socket->write(answer);
        socket->disconnectFromServer();
        Q_EMIT argumentsReceived(arguments, token);
        return true;
    }
    return true;
}

void InstanceChannel::drop(QLocalSocket *socket)
{
    forget(socket);
    socket->abort();
    socket->deleteLater();
}

void InstanceChannel::forget(QLocalSocket *socket)
{
    const auto found = m_messages.find(socket);
    if (found == m_messages.end())
        return;
    m_pendingBytes -= found->size();
    m_messages.erase(found);
}
