// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/net/updater.h"
#include "platform/settings/settingskey.h"

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QTimer>
#include <QUrl>
#include <QVersionNumber>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

// The updater over the release feed (see ReleaseFeed), fetched over https from one address.
//
// A check compares the feed's newest version with the running one and emits updateFound() or
// noUpdateFound(), or checkFailed() when the feed could not be fetched or read, also printing the
// outcome on standard output. Only a check that read the feed sets the last check date. The feed is
// bounded in size and time. Scheduled checks run while automatic checks are on, one interval after
// the last check, or after the last failed attempt of this run when that is later. Automatic checks start off, so
// nothing is fetched until the user asks or turns them on. "Automatically download updates" is kept
// for the settings window but changes nothing: the package manager installs new versions.
//
// Settings live under the group "Updater" of the settings store handed in, apart from the
// application's own keys; the store must outlive the updater. Lives on the GUI thread; every signal
// is emitted there.
class FeedUpdater : public Updater
{
    Q_OBJECT

public:
    struct Options
    {
        QUrl feedUrl = defaultFeedUrl();
        QVersionNumber currentVersion = runningVersion();
        // The longest time without any data before the check is given up.
        std::chrono::milliseconds transferTimeout = std::chrono::seconds(30);
        qint64 maxFeedBytes = qint64(1) << 20;
        // Trusted besides the system's authorities; tests name their own server's certificate here.
        QList<QSslCertificate> extraCaCertificates {};
    };

    static QUrl defaultFeedUrl();
    static QVersionNumber runningVersion();

    // Scheduled intervals are kept within these bounds.
    static constexpr double minimumCheckInterval = 3600;
    static constexpr double maximumCheckInterval = 31 * 86400.0;

    explicit FeedUpdater(SettingsStore &settings, QObject *parent = nullptr);
    FeedUpdater(SettingsStore &settings, Options options, QObject *parent = nullptr);
    ~FeedUpdater() override;

    void start() override;
    bool canCheckForUpdates() const override;
    void checkForUpdates() override;
    std::optional<QDateTime> lastUpdateCheckDate() const override;
    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool on) override;
    bool automaticallyDownloadsUpdates() const override;
    void setAutomaticallyDownloadsUpdates(bool on) override;
    double updateCheckInterval() const override;
    void setUpdateCheckInterval(double seconds) override;
    bool lastCheckWasScheduled() const override { return m_scheduledCheck; }

private:
    void runCheck(bool scheduled);
    void takeData();
    void finishCheck();
    // True when the feed was read, whether or not it lists a newer version.
    bool reportOutcome();
    // When the next scheduled check is due from: the later of the last check and the last attempt.
    std::optional<QDateTime> scheduleBase() const;
    void schedule();
    void scheduledCheckDue();
    void setCanCheck(bool canCheck);

    Options m_options;
    SettingsKey<bool> m_automaticChecks;
    SettingsKey<bool> m_automaticDownloads;
    // Seconds.
    SettingsKey<double> m_interval;
    SettingsKey<QDateTime> m_lastCheck;
    QNetworkAccessManager *m_network = nullptr;
    QNetworkReply *m_reply = nullptr;
    QByteArray m_body;
    bool m_oversized = false;
    bool m_started = false;
    bool m_canCheck = false;
    bool m_scheduledCheck = false;
    // Kept in memory only, so a failing feed is not fetched again at once.
    std::optional<QDateTime> m_lastAttempt;
    QTimer m_timer;
};
