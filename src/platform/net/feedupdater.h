// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/net/httpsfetch.h"
#include "platform/net/updater.h"
#include "platform/settings/settingskey.h"

#include <QByteArray>
#include <QTimer>
#include <QUrl>
#include <QVersionNumber>

#include <atomic>
#include <chrono>
#include <memory>

// The updater over the release feed (see ReleaseFeed), fetched over https from one address.
//
// A check compares the feed's newest version with the running one and emits updateFound() or
// noUpdateFound(), or checkFailed() when the feed could not be fetched or read, also printing the
// outcome on standard output. Only a check that read the feed sets the last check date. The feed is
// fetched by HttpsFetch on a worker thread, with the bounds of a download (headers, speed floor,
// redirects) and a body of at most 1 MiB; a check that has not ended by its deadline fails then,
// whatever the server still sends, and "Check Now" is offered again. Scheduled checks run while automatic checks are
// on, one interval after the last check, or after the last failed attempt of this run when that is later. Automatic
// checks start off, so nothing is fetched until the user asks or turns them on. "Automatically download updates" is
// kept for the settings window but changes nothing: the package manager installs new versions.
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
        // The whole check, from asking to the answer read.
        std::chrono::milliseconds checkDeadline = std::chrono::seconds(60);
        // The transfer's bounds; its deadline follows checkDeadline. Tests name their own server's
        // certificate in caFile.
        HttpsFetch::Limits fetchLimits = defaultFetchLimits();
    };

    static HttpsFetch::Limits defaultFetchLimits();

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
    struct Fetched;
    struct Pending;

    static Fetched fetchFeed(const QByteArray &url, const HttpsFetch::Limits &limits, const std::atomic<bool> *cancel);
    void runCheck(bool scheduled);
    void finishCheck(const Fetched &fetched);
    void deadlinePassed();
    // True when the feed was read, whether or not it lists a newer version.
    bool reportOutcome(const Fetched &fetched);
    void abandonFetch();
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
    // The fetch in flight, shared with its worker, which may outlive this object.
    std::shared_ptr<Pending> m_pending;
    QTimer m_deadline;
    bool m_started = false;
    bool m_canCheck = false;
    bool m_scheduledCheck = false;
    // Kept in memory only, so a failing feed is not fetched again at once.
    std::optional<QDateTime> m_lastAttempt;
    QTimer m_timer;
};
