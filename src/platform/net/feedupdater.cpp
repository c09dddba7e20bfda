// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net/feedupdater.h"

#include "platform/files/stagingfolder.h"
#include "platform/net/releasefeed.h"
#include "platform/text/printabletext.h"
#include "platform/text/standardoutput.h"

#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QMutex>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr double defaultInterval = 86400;
// Timers take milliseconds in an int; a longer wait is taken in steps.
constexpr qint64 longestTimerStep = qint64(86400) * 1000;

constexpr QStringView feedFolderPrefix = u"glimbar-feed-";

} // namespace

struct FeedUpdater::Fetched
{
    HttpsFetch::Result result {};
    QByteArray body {};
    // Why the feed could not even be asked for, or its body not read back.
    QString error {};
    bool timedOut = false;
    bool notHttps = false;
};

// The owner leaves under the lock as it goes, so an outcome is posted to a living updater or not
// at all.
struct FeedUpdater::Pending
{
    QMutex mutex;
    FeedUpdater *owner = nullptr;
    std::atomic<bool> cancel { false };
};

HttpsFetch::Limits FeedUpdater::defaultFetchLimits()
{
    HttpsFetch::Limits limits;
    limits.lowSpeedTime = std::chrono::seconds(30);
    limits.maxBodyBytes = qint64(1) << 20;
    return limits;
}

FeedUpdater::Fetched FeedUpdater::fetchFeed(
    const QByteArray &url, const HttpsFetch::Limits &limits, const std::atomic<bool> *cancel)
{
    // Folders of checks that were killed are removed by the next one.
    StagingFolder::sweep(QDir::tempPath(), feedFolderPrefix);
    Fetched fetched;
    const StagingFolder folder(QDir::tempPath(), feedFolderPrefix);
    if (!folder.isValid()) {
        fetched.error = QString::fromLocal8Bit(std::strerror(folder.error()));
        return fetched;
    }
    const QString bodyPath = folder.path() + u"/feed"_s;
    fetched.result = HttpsFetch::fetch(url, bodyPath, limits, cancel);
    if (fetched.result.outcome != HttpsFetch::Outcome::complete)
        return fetched;
    QFile body(bodyPath);
    if (!body.open(QIODevice::ReadOnly)) {
        fetched.error = body.errorString();
        return fetched;
    }
    fetched.body = body.read(limits.maxBodyBytes);
    return fetched;
}

QUrl FeedUpdater::defaultFeedUrl()
{
    return QUrl(u"https://glimbar.tarnveld.example/appcast.xml"_s);
}

QVersionNumber FeedUpdater::runningVersion()
{
    return QVersionNumber::fromString(QStringLiteral(GLIMBAR_VERSION));
}

FeedUpdater::FeedUpdater(SettingsStore &settings, QObject *parent)
    : FeedUpdater(settings, Options {}, parent)
{ }

FeedUpdater::FeedUpdater(SettingsStore &settings, Options options, QObject *parent)
    : Updater(parent)
    , m_options(std::move(options))
    , m_automaticChecks(settings, u"Updater/automaticallyChecksForUpdates"_s, false)
    , m_automaticDownloads(settings, u"Updater/automaticallyDownloadsUpdates"_s, false)
    , m_interval(settings, u"Updater/updateCheckInterval"_s, defaultInterval)
    , m_lastCheck(settings, u"Updater/lastUpdateCheckDate"_s, QDateTime())
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FeedUpdater::scheduledCheckDue);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &FeedUpdater::deadlinePassed);
}

FeedUpdater::~FeedUpdater()
{
    abandonFetch();
}

void FeedUpdater::abandonFetch()
{
    m_deadline.stop();
    if (!m_pending)
        return;
    const QMutexLocker lock(&m_pending->mutex);
    m_pending->owner = nullptr;
    m_pending->cancel = true;
    m_pending.reset();
}

void FeedUpdater::start()
{
    if (m_started)
        return;
    m_started = true;
    setCanCheck(true);
    schedule();
}

bool FeedUpdater::canCheckForUpdates() const
{
    return m_canCheck;
}

void FeedUpdater::checkForUpdates()
{
    runCheck(false);
}

std::optional<QDateTime> FeedUpdater::lastUpdateCheckDate() const
{
    const QDateTime date = m_lastCheck.read();
    if (!date.isValid())
        return std::nullopt;
    return date;
}

bool FeedUpdater::automaticallyChecksForUpdates() const
{
    return m_automaticChecks.read();
}

void FeedUpdater::setAutomaticallyChecksForUpdates(bool on)
{
    m_automaticChecks.write(on);
    schedule();
}

bool FeedUpdater::automaticallyDownloadsUpdates() const
{
    return m_automaticDownloads.read();
}

void FeedUpdater::setAutomaticallyDownloadsUpdates(bool on)
{
    m_automaticDownloads.write(on);
}

double FeedUpdater::updateCheckInterval() const
{
    const double seconds = m_interval.read();
    return seconds > 0 ? seconds : defaultInterval;
}

void FeedUpdater::setUpdateCheckInterval(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        return;
    m_interval.write(seconds);
    schedule();
}

void FeedUpdater::setCanCheck(bool canCheck)
{
    if (canCheck == m_canCheck)
        return;
    m_canCheck = canCheck;
    Q_EMIT canCheckForUpdatesChanged(canCheck);
}

void FeedUpdater::runCheck(bool scheduled)
{
    if (!m_canCheck)
        return;
    m_scheduledCheck = scheduled;
    m_timer.stop();
    setCanCheck(false);

    if (m_options.feedUrl.scheme() != u"https"_s) {
        // Report on the next turn of the event loop, as a fetch would.
        QTimer::singleShot(0, this, [this] { finishCheck(Fetched { .notHttps = true }); });
        return;
    }
    HttpsFetch::Limits limits = m_options.fetchLimits;
    // The check's own deadline ends it; the transfer's, a little later, only ends the worker.
    limits.deadline = m_options.checkDeadline + std::chrono::seconds(1);
    limits.userAgent = u"Glimbar/%1"_s.arg(m_options.currentVersion.toString()).toUtf8();
    const auto pending = std::make_shared<Pending>();
    pending->owner = this;
    m_pending = pending;
    m_deadline.start(m_options.checkDeadline);
    QThreadPool::globalInstance()->start([pending, limits, url = m_options.feedUrl.toEncoded()] {
        Fetched fetched = fetchFeed(url, limits, &pending->cancel);
        const QMutexLocker lock(&pending->mutex);
        if (!pending->owner)
            return;
        FeedUpdater *owner = pending->owner;
        QMetaObject::invokeMethod(
            owner,
            [owner, pending, fetched = std::move(fetched)] {
                // A fetch given up at its deadline no longer speaks for the check.
                if (owner->m_pending != pending)
                    return;
                owner->m_pending.reset();
                owner->m_deadline.stop();
                owner->finishCheck(fetched);
            },
            Qt::QueuedConnection);
    });
}

void FeedUpdater::deadlinePassed()
{
    abandonFetch();
    finishCheck(Fetched { .timedOut = true });
}

void FeedUpdater::finishCheck(const Fetched &fetched)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    m_lastAttempt = now;
    const bool read = reportOutcome(fetched);
    if (read) {
        m_lastCheck.write(now);
        Q_EMIT lastUpdateCheckDateChanged();
    }
    setCanCheck(true);
    schedule();
}

bool FeedUpdater::reportOutcome(const Fetched &fetched)
{
    const auto failed = [this](const QString &error) {
        printLine(error);
        Q_EMIT checkFailed(error);
        return false;
    };
    const auto notFetched = [&failed](const QString &reason) {
        return failed(tr("The release feed could not be fetched: %1").arg(printableText(reason)));
    };
    if (fetched.timedOut) {
        const auto seconds = std::chrono::duration<double>(m_options.checkDeadline).count();
        return notFetched(tr("no answer within %1 seconds.").arg(seconds));
    }
    if (fetched.notHttps)
        return failed(tr("The release feed must be fetched over https."));
    const HttpsFetch::Result &result = fetched.result;
    if (result.outcome == HttpsFetch::Outcome::tooLarge)
        return failed(tr("The release feed is larger than %1 bytes.").arg(m_options.fetchLimits.maxBodyBytes));
    if (result.status != 0 && result.status != 200)
        return failed(tr("The release feed could not be fetched: status %1.").arg(result.status));
    if (!fetched.error.isEmpty())
        return notFetched(fetched.error);
    if (result.outcome != HttpsFetch::Outcome::complete)
        return notFetched(result.reason.isEmpty() ? tr("the transfer failed.") : result.reason);

    const ReleaseFeed::Result feed = ReleaseFeed::parse(fetched.body);
    if (!feed.error.isEmpty())
        return failed(feed.error);
    const std::optional<ReleaseFeed::Release> newest
        = ReleaseFeed::newestAbove(feed.releases, m_options.currentVersion);
    if (!newest) {
        const QString reason = tr("Glimbar %1 is the newest version.").arg(m_options.currentVersion.toString());
        printLine(reason);
        Q_EMIT noUpdateFound(reason);
        return true;
    }
    printLine(tr("Glimbar %1 is available: %2")
                  .arg(printableText(newest->versionText), printableText(newest->link.toString())));
    Q_EMIT updateFound(newest->versionText, newest->link);
    return true;
}

std::optional<QDateTime> FeedUpdater::scheduleBase() const
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // A date in the future (a clock set back) counts as none, so checks do not stop for good.
    std::optional<QDateTime> last = lastUpdateCheckDate();
    if (last && *last > now)
        last.reset();
    if (m_lastAttempt && *m_lastAttempt <= now && (!last || *m_lastAttempt > *last))
        return m_lastAttempt;
    return last;
}

void FeedUpdater::schedule()
{
    m_timer.stop();
    if (!m_started || !m_canCheck || !automaticallyChecksForUpdates())
        return;
    const double interval = std::clamp(updateCheckInterval(), minimumCheckInterval, maximumCheckInterval);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::optional<QDateTime> last = scheduleBase();
    qint64 wait = 0;
    if (last)
        wait = std::max<qint64>(0, now.msecsTo(last->addMSecs(qint64(interval * 1000))));
    m_timer.start(int(std::min(wait, longestTimerStep)));
}

void FeedUpdater::scheduledCheckDue()
{
    const double interval = std::clamp(updateCheckInterval(), minimumCheckInterval, maximumCheckInterval);
    const std::optional<QDateTime> last = scheduleBase();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (last && now < last->addMSecs(qint64(interval * 1000))) {
        schedule();
        return;
    }
    runCheck(true);
}
