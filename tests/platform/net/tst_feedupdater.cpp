// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net/feedupdater.h"
#include "platform/net/releasefeed.h"
#include "support/standardoutputcapture.h"
#include "support/updaterfixture.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QTimeZone>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(TestHttpsServer::Response)

namespace {

QByteArray feed(const QList<std::pair<const char *, const char *>> &items)
{
    QByteArray xml = "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel><title>Glimbar</title>";
    for (const auto &[version, link] : items)
        xml += QByteArray("<item><title>Glimbar</title><version>") + version + "</version><link>" + link
            + "</link></item>";
    return xml + "</channel></rss>";
}

enum Outcome { update, noUpdate, failure };

// Returns once every timer already due has fired: a zero timer started now comes after them. A
// check due at once starts in such a timer.
bool passDueTimers()
{
    QTimer marker;
    marker.setSingleShot(true);
    marker.setTimerType(Qt::PreciseTimer);
    QSignalSpy fired(&marker, &QTimer::timeout);
    marker.start(0);
    return fired.wait();
}

} // namespace

class TestFeedUpdater : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_fixture.isValid(), qPrintable(m_fixture.errorString())); }

    void init() { m_fixture.reset(); }

    void check_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        // Asks a port where nothing listens, so the connection is refused.
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("outcome");
        // The newer version for an update; else part of the sentence reported.
        QTest::addColumn<QString>("text");

        QTest::newRow("newer, listed out of order")
            << 200
            << feed({ { "1.0.0", "https://example.org/1.0" }, { "1.2", "https://example.org/1.2" },
                   { "1.1.9", "https://example.org/1.1.9" } })
            << false << int(update) << u"1.2"_s;
        QTest::newRow("same version") << 200 << feed({ { "1.0.0", "https://example.org/1.0" } }) << false
                                      << int(noUpdate) << u"newest version"_s;
        QTest::newRow("older only") << 200 << feed({ { "0.9.9", "https://example.org/0.9" } }) << false << int(noUpdate)
                                    << u"newest version"_s;
        QTest::newRow("no items") << 200 << feed({}) << false << int(noUpdate) << u"newest version"_s;
        QTest::newRow("newer but unsafe link")
            << 200 << feed({ { "2.0", "javascript:alert(1)" }, { "3.0", "file:///etc/passwd" } }) << false
            << int(noUpdate) << u"newest version"_s;
        QTest::newRow("newer but not a plain version")
            << 200 << feed({ { "2.0-beta", "https://example.org/b" }, { "v3", "https://example.org/3" } }) << false
            << int(noUpdate) << u"newest version"_s;
        QTest::newRow("not XML") << 200 << QByteArray("\x89PNG\r\n\x1a\n garbage") << false << int(failure) << u"XML"_s;
        QTest::newRow("not RSS") << 200 << QByteArray("<html><body>Moved</body></html>") << false << int(failure)
                                 << u"RSS"_s;
        QTest::newRow("empty") << 200 << QByteArray() << false << int(failure) << u"XML"_s;
        QTest::newRow("entities") << 200
                                  << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaa\">"
                                                "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]><rss>&b;</rss>")
                                  << false << int(failure) << u"document type"_s;
        QTest::newRow("too deep") << 200 << QByteArray("<rss>").repeated(1) + QByteArray("<a>").repeated(100) << false
                                  << int(failure) << u"nested"_s;
        QTest::newRow("huge") << 200 << QByteArray(200 * 1024, ' ') + feed({ { "9.0", "https://example.org/9" } })
                              << false << int(failure) << u"larger than"_s;
        QTest::newRow("not found") << 404 << QByteArray() << false << int(failure) << u"could not be fetched"_s;
        QTest::newRow("connection refused") << 200 << feed({}) << true << int(failure) << u"could not be fetched"_s;
    }

    // Every check ends in exactly one outcome; only one that read the feed records the date.
    void check()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, refused);
        QFETCH(int, outcome);
        QFETCH(QString, text);

        m_fixture.server().setResponse("/appcast.xml", { .status = status, .body = body });
        FeedUpdater::Options updaterOptions = options();
        if (refused)
            updaterOptions.feedUrl.setPort(closedPort());
        FeedUpdater updater(m_fixture.settings(), updaterOptions);
        QSignalSpy found(&updater, &Updater::updateFound);
        QSignalSpy notFound(&updater, &Updater::noUpdateFound);
        QSignalSpy failed(&updater, &Updater::checkFailed);
        QSignalSpy canCheck(&updater, &Updater::canCheckForUpdatesChanged);
        QSignalSpy dated(&updater, &Updater::lastUpdateCheckDateChanged);
        QVERIFY(!updater.canCheckForUpdates());
        updater.start();
        QVERIFY(updater.canCheckForUpdates());
        QVERIFY(!updater.lastUpdateCheckDate());

        StandardOutputCapture output;
        updater.checkForUpdates();
        QVERIFY(!updater.canCheckForUpdates());
        QTRY_COMPARE_WITH_TIMEOUT(found.size() + notFound.size() + failed.size(), 1, 20000);
        QVERIFY(updater.canCheckForUpdates());
        QCOMPARE(canCheck.size(), 3);
        QVERIFY(!updater.lastCheckWasScheduled());
        const QStringList lines = output.takeLines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(updater.lastUpdateCheckDate().has_value(), outcome != failure);
        QCOMPARE(dated.size(), outcome != failure ? 1 : 0);

        if (outcome == update) {
            QCOMPARE(found.size(), 1);
            QCOMPARE(found.first().at(0).toString(), text);
            QCOMPARE(found.first().at(1).toUrl(), QUrl(u"https://example.org/"_s + text));
            QVERIFY(lines.first().contains(text));
        } else {
            QSignalSpy &said = outcome == noUpdate ? notFound : failed;
            QCOMPARE(said.size(), 1);
            const QString sentence = said.first().at(0).toString();
            QVERIFY2(sentence.contains(text), qPrintable(sentence));
            QCOMPARE(lines.first(), sentence);
        }
    }

    void hostileServer_data()
    {
        QTest::addColumn<TestHttpsServer::Response>("response");
        // The low-speed window in milliseconds; 0 leaves the default, far beyond the deadline.
        QTest::addColumn<int>("lowSpeedMilliseconds");
        QTest::addColumn<QString>("reason");

        QTest::newRow("endless headers") << TestHttpsServer::Response { .status = 200,
            .endless = TestHttpsServer::Endless::headers }
                                         << 0 << u"headers passed 65536 bytes"_s;
        QTest::newRow("trickle past the deadline")
            << TestHttpsServer::Response { .status = 200, .body = feed({}), .trickleMilliseconds = 200 } << 0
            << u"no answer within 1.5 seconds"_s;
        QTest::newRow("never answers") << TestHttpsServer::Response { .stall = true } << 0
                                       << u"no answer within 1.5 seconds"_s;
        QTest::newRow("under the speed floor")
            << TestHttpsServer::Response { .status = 200, .body = feed({}), .trickleMilliseconds = 200 } << 400
            << u"under 1024 bytes per second"_s;
    }

    // However the server holds on, the check ends by its deadline with the reason, and can be
    // asked for again.
    void hostileServer()
    {
        QFETCH(TestHttpsServer::Response, response);
        QFETCH(int, lowSpeedMilliseconds);
        QFETCH(QString, reason);

        m_fixture.server().setResponse("/appcast.xml", response);
        FeedUpdater::Options updaterOptions = options();
        updaterOptions.checkDeadline = std::chrono::milliseconds(1500);
        if (lowSpeedMilliseconds > 0)
            updaterOptions.fetchLimits.lowSpeedTime = std::chrono::milliseconds(lowSpeedMilliseconds);
        FeedUpdater updater(m_fixture.settings(), updaterOptions);
        QSignalSpy failed(&updater, &Updater::checkFailed);
        QSignalSpy notFound(&updater, &Updater::noUpdateFound);
        updater.start();
        StandardOutputCapture output;
        updater.checkForUpdates();
        QVERIFY(!updater.canCheckForUpdates());
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 20000);
        QCOMPARE(notFound.size(), 0);
        const QString sentence = failed.first().at(0).toString();
        QVERIFY2(sentence.contains(reason), qPrintable(sentence));
        QVERIFY(updater.canCheckForUpdates());
        QVERIFY(!updater.lastUpdateCheckDate());
        QCOMPARE(output.takeLines(), QStringList { sentence });

        // The next check is a fresh one: it reads a feed that now answers at once.
        m_fixture.server().setResponse("/appcast.xml", { .status = 200, .body = feed({}) });
        updater.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(notFound.size(), 1, 20000);
        QCOMPARE(failed.size(), 1);
    }

    void overlongValuesAreDroppedNotCut()
    {
        const QByteArray link = "https://example.org/" + QByteArray(ReleaseFeed::maxTextLength, 'x');
        const ReleaseFeed::Result result = ReleaseFeed::parse(feed({ { "2.0", link.constData() } }));
        QVERIFY(result.error.isEmpty());
        QVERIFY(result.releases.isEmpty());
    }

    void scheduledChecks()
    {
        m_fixture.server().setResponse("/appcast.xml", { .status = 200, .body = feed({}) });
        StandardOutputCapture output;
        {
            // Turned on with no check made yet: the first one is due at once.
            FeedUpdater updater(m_fixture.settings(), options());
            QSignalSpy notFound(&updater, &Updater::noUpdateFound);
            updater.setAutomaticallyChecksForUpdates(true);
            QVERIFY(updater.automaticallyChecksForUpdates());
            updater.start();
            QTRY_COMPARE_WITH_TIMEOUT(notFound.size(), 1, 20000);
            QVERIFY(updater.lastCheckWasScheduled());
        }
        {
            // Just checked: nothing more is fetched before the interval ends, here or in a new run.
            FeedUpdater updater(m_fixture.settings(), options());
            QSignalSpy canCheck(&updater, &Updater::canCheckForUpdatesChanged);
            updater.start();
            QVERIFY(passDueTimers());
            // A check that began would have taken the button away.
            QCOMPARE(canCheck.size(), 1);
            QVERIFY(updater.canCheckForUpdates());
            QCOMPARE(m_fixture.server().requestedTargets().size(), 1);
        }
        QCOMPARE(output.takeLines().size(), 1);
    }

    // A scheduled check that fails is tried again one interval later, not at once, and records no
    // date.
    void failedScheduledCheckWaits()
    {
        m_fixture.server().setResponse("/appcast.xml", { .status = 500 });
        StandardOutputCapture output;
        FeedUpdater updater(m_fixture.settings(), options());
        QSignalSpy failed(&updater, &Updater::checkFailed);
        updater.setAutomaticallyChecksForUpdates(true);
        updater.start();
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 20000);
        QVERIFY(updater.lastCheckWasScheduled());
        QVERIFY(!updater.lastUpdateCheckDate());
        QVERIFY(updater.canCheckForUpdates());
        QSignalSpy canCheck(&updater, &Updater::canCheckForUpdatesChanged);
        QVERIFY(passDueTimers());
        QCOMPARE(canCheck.size(), 0);
        QCOMPARE(m_fixture.server().requestedTargets().size(), 1);
        QCOMPARE(failed.size(), 1);
    }

    void settingsPersist()
    {
        {
            FeedUpdater updater(m_fixture.settings(), options());
            QCOMPARE(updater.automaticallyChecksForUpdates(), false);
            QCOMPARE(updater.automaticallyDownloadsUpdates(), false);
            QCOMPARE(updater.updateCheckInterval(), 86400.0);
            updater.setAutomaticallyDownloadsUpdates(true);
            updater.setUpdateCheckInterval(604800);
            updater.setUpdateCheckInterval(-1);
            updater.setUpdateCheckInterval(qQNaN());
        }
        FeedUpdater updater(m_fixture.settings(), options());
        QCOMPARE(updater.automaticallyDownloadsUpdates(), true);
        QCOMPARE(updater.updateCheckInterval(), 604800.0);
        // Kept apart from the application's own keys, in the forms earlier versions wrote.
        m_fixture.settings().sync();
        QSettings file(m_fixture.settings().fileName(), QSettings::NativeFormat);
        QCOMPARE(file.childGroups(), QStringList { u"Updater"_s });
        QCOMPARE(file.value(u"Updater/automaticallyDownloadsUpdates"_s), QVariant(u"true"_s));
        QCOMPARE(file.value(u"Updater/updateCheckInterval"_s), QVariant(u"604800"_s));
    }

    // A settings file written before, read back as text, gives the same settings.
    void readsStoredSettings()
    {
        {
            QSettings file(m_fixture.settings().fileName(), QSettings::NativeFormat);
            file.setValue(u"Updater/automaticallyChecksForUpdates"_s, true);
            file.setValue(u"Updater/updateCheckInterval"_s, 7200.0);
            file.setValue(u"Updater/lastUpdateCheckDate"_s, u"2024-05-01T10:20:30.456Z"_s);
        }
        m_fixture.settings().reload();
        const FeedUpdater updater(m_fixture.settings(), options());
        QVERIFY(updater.automaticallyChecksForUpdates());
        QCOMPARE(updater.updateCheckInterval(), 7200.0);
        QCOMPARE(updater.lastUpdateCheckDate(), QDateTime(QDate(2024, 5, 1), QTime(10, 20, 30, 456), QTimeZone::utc()));
    }

private:
    // A port on which nothing listens any more.
    static int closedPort()
    {
        QTcpServer server;
        if (!server.listen(QHostAddress::LocalHost))
            return 1;
        return server.serverPort();
    }

    FeedUpdater::Options options() const
    {
        FeedUpdater::Options options = m_fixture.options();
        options.currentVersion = QVersionNumber(1, 0, 0);
        options.fetchLimits.maxBodyBytes = 64 * 1024;
        return options;
    }

    UpdaterFixture m_fixture;
};

QTEST_GUILESS_MAIN(TestFeedUpdater)
#include "tst_feedupdater.moc"
