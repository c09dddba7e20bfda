// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/instancechannel.h"

#include "platform/text/standardoutput.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

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
Delivery send(const QByteArray &message, std::chrono::milliseconds timeout)
{
    QLocalSocket socket;
    socket.connectToServer(InstanceChannel::socketPath());
    if (!socket.waitForConnected(int(timeout.count())))
        return Delivery::failed;
    socket.write(message);
    if (!socket.waitForBytesWritten(int(timeout.count())))
        return socket.state() == QLocalSocket::UnconnectedState ? Delivery::refused : Delivery::failed;
    QByteArray reply;
    while (reply.size() < answer.size() && socket.waitForReadyRead(int(timeout.count())))
        reply += socket.readAll();
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

void drop(QLocalSocket *socket)
{
    socket->abort();
    socket->deleteLater();
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

bool InstanceChannel::handOver(
    const QStringList &arguments, const QByteArray &activationToken, std::chrono::milliseconds timeout)
{
    const QByteArray token = isValidToken(activationToken) ? activationToken : QByteArray();
    switch (send(encode(tokenGreeting, &token, arguments), timeout)) {
    case Delivery::taken:
        return true;
    case Delivery::failed:
        return false;
    case Delivery::refused:
        // An instance of an older build drops the second form at once; it still takes the arguments.
        return send(encode(greeting, nullptr, arguments), timeout) == Delivery::taken;
    }
    return false;
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
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        // A peer that never finishes is dropped; the socket is the timer's parent, so a peer
        // that went away takes its timer with it.
        QTimer::singleShot(m_peerTimeout, socket, [socket] { drop(socket); });
    }
}

void InstanceChannel::read(QLocalSocket *socket)
{
    QByteArray message = socket->property("message").toByteArray();
    message += socket->read(maxMessageBytes + 1 - message.size());
    if (message.size() > maxMessageBytes) {
        drop(socket);
        return;
    }
    QStringList arguments;
    QByteArray token;
    switch (parse(message, arguments, token)) {
    case Parse::incomplete:
        socket->setProperty("message", message);
        return;
    case Parse::malformed:
        drop(socket);
        return;
    case Parse::complete:
        socket->setProperty("message", QByteArray());
        socket->write(answer);
        socket->disconnectFromServer();
        Q_EMIT argumentsReceived(arguments, token);
        return;
    }
}
