// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>

// Fetches one https resource into a file, on the caller's thread (it blocks), bounded against
// servers that never stop: the headers may take at most maxHeaderBytes; the transfer fails once it
// stays under minBytesPerSecond for lowSpeedTime, and in any case at the deadline; redirects are
// followed only to https and at most maxRedirects times; a body is kept only for status 200 and
// only up to maxBodyBytes, and goes straight to the file, never to memory.
class HttpsFetch
{
public:
    struct Limits
    {
        // The longest time the transfer may stay under minBytesPerSecond, waiting for the server
        // included, before it is given up.
        std::chrono::milliseconds lowSpeedTime = std::chrono::seconds(60);
        qint64 minBytesPerSecond = 1024;
        // The whole transfer, however fast the server sends.
        std::chrono::milliseconds deadline = std::chrono::minutes(15);
        qint64 maxHeaderBytes = qint64(64) << 10;
        int maxRedirects = 5;
        qint64 maxBodyBytes = qint64(256) << 20;
        // A PEM file of the authorities to trust instead of the system's; empty for the system's.
        QString caFile {};
        // Sent as User-Agent when not empty.
        QByteArray userAgent {};
    };

    enum class Outcome {
        complete, // status 200 and the whole body in the file
        tooLarge, // status 200, but the body (announced or sent) passed maxBodyBytes
        failed, // any other status, a bound passed, or the transport failed
    };

    struct Result
    {
        Outcome outcome = Outcome::failed;
        int status = 0; // the final response's, 0 when none arrived
        QString reason; // why it failed, for diagnostics only
    };

    // `cancel`, when given, ends the transfer soon after it becomes true.
    static Result fetch(const QByteArray &url, const QString &bodyPath, const Limits &limits,
        const std::atomic<bool> *cancel = nullptr);
};
