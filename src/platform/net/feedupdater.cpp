// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net/feedupdater.h"

#include "platform/net/releasefeed.h"
#include "platform/text/printabletext.h"
#include "platform/text/standardoutput.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslConfiguration>

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr double defaultInterval = 86400;
// Timers take milliseconds in an int; a longer wait is taken in steps.
constexpr qint64 longestTimerStep = qint64(86400) * 1000;

} // namespace

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
    , m_network(new QNetworkAccessManager(this))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FeedUpdater::scheduledCheckDue);
}

FeedUpdater::~FeedUpdater()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
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
    m_body.clear();
    m_oversized = false;

    if (m_options.feedUrl.scheme() != u"https"_s) {
        m_reply = nullptr;
        // Report on the next turn of the event loop, as a fetch would.
        QTimer::singleShot(0, this, &FeedUpdater::finishCheck);
        return;
    }
    QNetworkRequest request(m_options.feedUrl);
    request.setTransferTimeout(int(m_options.transferTimeout.count()));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setHeader(QNetworkRequest::UserAgentHeader, u"Glimbar/%1"_s.arg(m_options.currentVersion.toString()));
    if (!m_options.extraCaCertificates.isEmpty()) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.addCaCertificates(m_options.extraCaCertificates);
        request.setSslConfiguration(ssl);
    }
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &FeedUpdater::takeData);
    connect(m_reply, &QNetworkReply::finished, this, &FeedUpdater::finishCheck);
}

void FeedUpdater::takeData()
{
    if (!m_reply || m_oversized)
        return;
    const qint64 room = m_options.maxFeedBytes - m_body.size();
    if (m_reply->bytesAvailable() > room) {
        m_oversized = true;
        m_reply->abort();
        return;
    }
    m_body.append(m_reply->readAll());
}

void FeedUpdater::finishCheck()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    m_lastAttempt = now;
    const bool read = reportOutcome();
    if (m_reply) {
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    m_body.clear();
    if (read) {
        m_lastCheck.write(now);
        Q_EMIT lastUpdateCheckDateChanged();
    }
    setCanCheck(true);
    schedule();
}

bool FeedUpdater::reportOutcome()
{
    const auto failed = [this](const QString &error) {
        printLine(error);
        Q_EMIT checkFailed(error);
        return false;
    };
    if (!m_reply)
        return failed(tr("The release feed must be fetched over https."));
    takeData();
    if (m_oversized)
        return failed(tr("The release feed is larger than %1 bytes.").arg(m_options.maxFeedBytes));
    if (m_reply->error() != QNetworkReply::NoError)
        return failed(tr("The release feed could not be fetched: %1").arg(printableText(m_reply->errorString())));
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200)
        return failed(tr("The release feed could not be fetched: status %1.").arg(status));

    const ReleaseFeed::Result feed = ReleaseFeed::parse(m_body);
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
