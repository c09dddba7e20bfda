// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>

// An HTTPS server on 127.0.0.1 for tests, on a free port, with a self-signed certificate made at
// start-up by the openssl command (valid for 127.0.0.1 and localhost). It answers each GET with the
// response set for its target, else with the default response, and closes the connection after it.
// Lives on the thread that makes it; serve its event loop while a client talks to it.
class TestHttpsServer : public QObject
{
    Q_OBJECT

public:
    // What a hostile server sends for ever, until the client goes away.
    enum class Endless {
        nothing,
        statusLine, // "HTTP/1.1 200 " and never a line end
        headers, // a status line, then header lines without end
        body, // a status line and headers without a length, then a body without end
    };

    struct Response
    {
        int status = 404;
        QByteArray body {};
        // Without it the body ends when the connection closes.
        bool announceLength = true;
        // Reads the request and never answers.
        bool stall = false;
        // Announces the whole body (when announceLength), sends half of it and closes: a lost connection.
        bool truncate = false;
        Endless endless = Endless::nothing;
        // Sends the body one byte at a time, this many milliseconds apart.
        int trickleMilliseconds = 0;
        // Sent as the Location header (with status 302, say).
        QByteArray location {};
    };

    TestHttpsServer();

    // False, with errorString(), when the certificate could not be made or the port not opened.
    bool isListening() const { return m_server.isListening(); }
    QString errorString() const { return m_errorString; }
    quint16 port() const { return m_server.serverPort(); }
    // The certificate a client must trust to talk to this server.
    QSslCertificate certificate() const { return m_certificate; }
    // Writes that certificate as a PEM file at `path`, for a client told to trust that file only.
    bool writeCertificate(const QString &path) const;

    void setResponse(const QByteArray &target, const Response &response) { m_responses.insert(target, response); }
    void setDefaultResponse(const Response &response) { m_defaultResponse = response; }
    // Forgets the responses set and the requests seen.
    void reset();

    // The request targets (path and query, as sent) in the order they arrived.
    QList<QByteArray> requestedTargets() const { return m_targets; }
    // Connections that ended, from either side.
    int closedConnections() const { return m_closed; }

private:
    bool makeCertificate();
    void accept();
    void serve(QSslSocket *socket);
    void sendEndlessly(QSslSocket *socket, const QByteArray &chunk);
    void trickle(QSslSocket *socket, const QByteArray &body, int milliseconds);

    QSslServer m_server;
    QSslCertificate m_certificate;
    QSslKey m_key;
    QString m_errorString;
    QHash<QByteArray, Response> m_responses;
    Response m_defaultResponse;
    QList<QByteArray> m_targets;
    int m_closed = 0;
};
