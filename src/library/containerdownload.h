// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/containermanager.h"
#include "platform/ziparchive.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// The download of a container named by an opened link.
//
// start() checks and rewrites the link on the caller's thread and returns at once. The fetch runs on
// the library's (GUI) thread: one object per download, a child of the library, holding its own
// network manager and reply, and deleting itself with them when the fetch ends. The body, a zip of
// the rAvivovode folder, is unpacked into a fresh temporary folder and read with the library's
// readers on a worker thread; the folder is removed before the caller's completion runs there.
//
// Guarantees: the completion is called at most once, only with a container, on a worker thread.
// A refused link sets the library's error to invalidURL; a body that is too large or cannot be
// unpacked or decoded (an empty one too) prints why and sets downloadFailed; transport failures,
// time-outs and statuses other than 200 report nothing. Every change of the error is queued on the GUI thread.
class ContainerDownload : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        // The longest time without any data before the fetch is given up.
        std::chrono::milliseconds transferTimeout = std::chrono::seconds(60);
        qint64 maxBodyBytes = qint64(256) << 20;
        ZipArchive::Limits unpackLimits {};
        // Trusted besides the system's authorities; tests name their own server's certificate here.
        QList<QSslCertificate> extraCaCertificates {};
    };

    // The options of downloads started from now on.
    static Options options();
    static void setOptions(const Options &options);

    static void start(ContainerManager &manager, const QString &link, ContainerManager::DownloadCompletion completion);

    // The one line printed for a container that arrived: its title (on one line) and its icon count.
    static QString describe(const IconContainer &container);

private:
    ContainerDownload(
        ContainerManager &manager, const Options &options, ContainerManager::DownloadCompletion completion);

    void fetch(const QUrl &url);
    void checkAnnouncedLength();
    void takeBody();
    void finish();
    void refuseOversizedBody();

    // Unpacks and reads a body that arrived; none, after printing why and queueing downloadFailed,
    // when it cannot be read.
    static std::optional<IconContainer> readBody(
        ContainerManager &manager, const QByteArray &body, const ZipArchive::Limits &limits);

    ContainerManager &m_manager;
    Options m_options;
    ContainerManager::DownloadCompletion m_completion;
    QNetworkAccessManager *m_network = nullptr;
    QNetworkReply *m_reply = nullptr;
    QByteArray m_body;
    bool m_oversized = false;
    bool m_finished = false;
};
