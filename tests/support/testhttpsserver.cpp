// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhttpsserver.h"

#include <QFile>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK"_ba;
    case 404:
        return "Not Found"_ba;
    case 500:
        return "Internal Server Error"_ba;
    default:
        return "Status"_ba;
    }
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TestHttpsServer::TestHttpsServer()
{
    if (!makeCertificate())
        return;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(m_certificate);
    configuration.setPrivateKey(m_key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server.setSslConfiguration(configuration);
    connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, &TestHttpsServer::accept);
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        m_errorString = m_server.errorString();
}

bool TestHttpsServer::makeCertificate()
{
    const QTemporaryDir folder;
    const QString keyPath = folder.filePath(u"key.pem"_s);
    const QString certificatePath = folder.filePath(u"certificate.pem"_s);
    QProcess openssl;
    openssl.start(u"openssl"_s,
        { u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s, u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s,
            u"-days"_s, u"2"_s, u"-subj"_s, u"/CN=127.0.0.1"_s, u"-addext"_s,
            u"subjectAltName=IP:127.0.0.1,DNS:localhost"_s, u"-keyout"_s, keyPath, u"-out"_s, certificatePath });
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0) {
        m_errorString = u"openssl failed: "_s + openssl.errorString() + u' '
            + QString::fromLocal8Bit(openssl.readAllStandardError());
        return false;
    }
    m_certificate = QSslCertificate(readFile(certificatePath), QSsl::Pem);
    m_key = QSslKey(readFile(keyPath), QSsl::Ec, QSsl::Pem);
    if (m_certificate.isNull() || m_key.isNull()) {
        m_errorString = u"openssl made no usable certificate"_s;
        return false;
    }
    return true;
}

void TestHttpsServer::reset()
{
    m_responses.clear();
    m_defaultResponse = {};
    m_targets.clear();
    m_closed = 0;
}

void TestHttpsServer::accept()
{
    while (QTcpSocket *connection = m_server.nextPendingConnection()) {
        auto *socket = qobject_cast<QSslSocket *>(connection);
        connect(socket, &QSslSocket::disconnected, this, [this, socket] {
            ++m_closed;
            socket->deleteLater();
        });
        connect(socket, &QSslSocket::readyRead, this, [this, socket] { serve(socket); });
        serve(socket);
    }
}

void TestHttpsServer::serve(QSslSocket *socket)
{
    // The request so far waits in the socket until its head is complete.
    const QByteArray pending = socket->peek(socket->bytesAvailable());
    const qsizetype headEnd = pending.indexOf("\r\n\r\n");
    if (headEnd < 0 || socket->property("answered").toBool())
        return;
    socket->read(headEnd + 4);
    socket->setProperty("answered", true);

    const QList<QByteArray> requestLine = pending.left(pending.indexOf("\r\n")).split(' ');
    const QByteArray target = requestLine.value(1);
    m_targets.append(target);
    const Response response = m_responses.value(target, m_defaultResponse);
    if (response.stall)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
    switch (response.endless) {
    case Endless::nothing:
        break;
    case Endless::statusLine:
        socket->write("HTTP/1.1 200 ");
        return sendEndlessly(socket, QByteArray(16 << 10, 'a'));
    case Endless::headers:
        socket->write(head);
        return sendEndlessly(socket, "X-Filler: " + QByteArray(1000, 'a') + "\r\n");
    case Endless::body:
        socket->write(head + "Connection: close\r\n\r\n");
        return sendEndlessly(socket, QByteArray(64 << 10, 'b'));
    }
    if (response.announceLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    if (!response.location.isEmpty())
        head += "Location: " + response.location + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (response.trickleMilliseconds > 0) {
        socket->write(head);
        return trickle(socket, response.body, response.trickleMilliseconds);
    }
    socket->write(head + (response.truncate ? response.body.left(response.body.size() / 2) : response.body));
    socket->disconnectFromHost();
}

void TestHttpsServer::sendEndlessly(QSslSocket *socket, const QByteArray &chunk)
{
    // Topped up as the client reads, so the server itself holds little.
    const auto topUp = [socket, chunk] {
        while (socket->state() == QAbstractSocket::ConnectedState && socket->encryptedBytesToWrite() < (256 << 10)
            && socket->bytesToWrite() < (256 << 10))
            socket->write(chunk);
    };
    connect(socket, &QSslSocket::encryptedBytesWritten, socket, topUp);
    topUp();
}

void TestHttpsServer::trickle(QSslSocket *socket, const QByteArray &body, int milliseconds)
{
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent] {
        if (socket->state() != QAbstractSocket::ConnectedState || *sent >= body.size()) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid((*sent)++, 1));
    });
    timer->start(milliseconds);
}

bool TestHttpsServer::writeCertificate(const QString &path) const
{
    QFile file(path);
    const QByteArray pem = m_certificate.toPem();
    return file.open(QIODevice::WriteOnly) && file.write(pem) == pem.size() && file.flush();
}
