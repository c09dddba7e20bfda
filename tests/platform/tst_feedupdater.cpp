// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/feedupdater.h"
#include "platform/releasefeed.h"
#include "support/standardoutputcapture.h"
#include "support/testhttpsserver.h"

#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray feed(const QList<std::pair<const char *, const char *>> &items)
{
    QByteArray xml = "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel><title>Glimbar</title>";
    for (const auto &[version, link] : items)
        xml += QByteArray("<item><title>Glimbar</title><version>") + version + "</version><link>" + link
            + "</link></item>";
    return xml + "</channel></rss>";
}

} // namespace

class TestFeedUpdater : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        m_server = std::make_unique<TestHttpsServer>();
        QVERIFY2(m_server->isListening(), qPrintable(m_server->errorString()));
    }

    void init()
    {
        QSettings(u"Glimbar"_s, u"Glimbar"_s).clear();
        m_server->reset();
    }

    void check_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        // Empty when no update is to be found.
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("reason");

        QTest::newRow("newer, listed out of order")
            << 200
            << feed({ { "1.0.0", "https://example.org/1.0" }, { "1.2", "https://example.org/1.2" },
                   { "1.1.9", "https://example.org/1.1.9" } })
            << u"1.2"_s << QString();
        QTest::newRow("same version") << 200 << feed({ { "1.0.0", "https://example.org/1.0" } }) << QString()
                                      << u"newest version"_s;
        QTest::newRow("older only") << 200 << feed({ { "0.9.9", "https://example.org/0.9" } }) << QString()
                                    << u"newest version"_s;
        QTest::newRow("no items") << 200 << feed({}) << QString() << u"newest version"_s;
        QTest::newRow("newer but unsafe link")
            << 200 << feed({ { "2.0", "javascript:alert(1)" }, { "3.0", "file:///etc/passwd" } }) << QString()
            << u"newest version"_s;
        QTest::newRow("newer but not a plain version")
            << 200 << feed({ { "2.0-beta", "https://example.org/b" }, { "v3", "https://example.org/3" } }) << QString()
            << u"newest version"_s;
        QTest::newRow("not XML") << 200 << QByteArray("\x89PNG\r\n\x1a\n garbage") << QString() << u"XML"_s;
        QTest::newRow("not RSS") << 200 << QByteArray("<html><body>Moved</body></html>") << QString() << u"RSS"_s;
        QTest::newRow("empty") << 200 << QByteArray() << QString() << u"XML"_s;
        QTest::newRow("entities") << 200
                                  << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaa\">"
                                                "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]><rss>&b;</rss>")
                                  << QString() << u"document type"_s;
        QTest::newRow("too deep") << 200 << QByteArray("<rss>").repeated(1) + QByteArray("<a>").repeated(100)
                                  << QString() << u"nested"_s;
        QTest::newRow("huge") << 200 << QByteArray(200 * 1024, ' ') + feed({ { "9.0", "https://example.org/9" } })
                              << QString() << u"larger than"_s;
        QTest::newRow("not found") << 404 << QByteArray() << QString() << u"could not be fetched"_s;
    }

    void check()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, version);
        QFETCH(QString, reason);

        m_server->setResponse("/appcast.xml", { .status = status, .body = body });
        FeedUpdater updater(options());
        QSignalSpy found(&updater, &Updater::updateFound);
        QSignalSpy notFound(&updater, &Updater::noUpdateFound);
        QSignalSpy canCheck(&updater, &Updater::canCheckForUpdatesChanged);
        QVERIFY(!updater.canCheckForUpdates());
        updater.start();
        QVERIFY(updater.canCheckForUpdates());
        QVERIFY(!updater.lastUpdateCheckDate());

        StandardOutputCapture output;
        updater.checkForUpdates();
        QVERIFY(!updater.canCheckForUpdates());
        QTRY_COMPARE_WITH_TIMEOUT(found.size() + notFound.size(), 1, 20000);
        QVERIFY(updater.canCheckForUpdates());
        QCOMPARE(canCheck.size(), 3);
        QVERIFY(updater.lastUpdateCheckDate());
        QVERIFY(!updater.lastCheckWasScheduled());
        const QStringList lines = output.takeLines();
        QCOMPARE(lines.size(), 1);

        if (!version.isEmpty()) {
            QCOMPARE(found.size(), 1);
            QCOMPARE(found.first().at(0).toString(), version);
            QCOMPARE(found.first().at(1).toUrl(), QUrl(u"https://example.org/"_s + version));
            QVERIFY(lines.first().contains(version));
        } else {
            QCOMPARE(notFound.size(), 1);
            const QString said = notFound.first().at(0).toString();
            QVERIFY2(said.contains(reason), qPrintable(said));
            QCOMPARE(lines.first(), said);
        }
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
        m_server->setResponse("/appcast.xml", { .status = 200, .body = feed({}) });
        StandardOutputCapture output;
        {
            // Turned on with no check made yet: the first one is due at once.
            FeedUpdater updater(options());
            QSignalSpy notFound(&updater, &Updater::noUpdateFound);
            updater.setAutomaticallyChecksForUpdates(true);
            QVERIFY(updater.automaticallyChecksForUpdates());
            updater.start();
            QTRY_COMPARE_WITH_TIMEOUT(notFound.size(), 1, 20000);
            QVERIFY(updater.lastCheckWasScheduled());
        }
        {
            // Just checked: nothing more is fetched before the interval ends, here or in a new run.
            FeedUpdater updater(options());
            updater.start();
            QTest::qWait(300);
            QCOMPARE(m_server->requestedTargets().size(), 1);
        }
        QCOMPARE(output.takeLines().size(), 1);
    }

    void settingsPersist()
    {
        {
            FeedUpdater updater(options());
            QCOMPARE(updater.automaticallyChecksForUpdates(), false);
            QCOMPARE(updater.automaticallyDownloadsUpdates(), false);
            QCOMPARE(updater.updateCheckInterval(), 86400.0);
            updater.setAutomaticallyDownloadsUpdates(true);
            updater.setUpdateCheckInterval(604800);
            updater.setUpdateCheckInterval(-1);
            updater.setUpdateCheckInterval(qQNaN());
        }
        FeedUpdater updater(options());
        QCOMPARE(updater.automaticallyDownloadsUpdates(), true);
        QCOMPARE(updater.updateCheckInterval(), 604800.0);
        // Kept apart from the application's own keys.
        QVERIFY(QSettings(u"Glimbar"_s, u"Glimbar"_s).childGroups().contains(u"Updater"_s));
    }

private:
    FeedUpdater::Options options() const
    {
        FeedUpdater::Options options;
        options.feedUrl = QUrl(u"https://127.0.0.1:%1/appcast.xml"_s.arg(m_server->port()));
        options.currentVersion = QVersionNumber(1, 0, 0);
        options.maxFeedBytes = 64 * 1024;
        options.transferTimeout = std::chrono::seconds(10);
        options.extraCaCertificates = { m_server->certificate() };
        return options;
    }

    QTemporaryDir m_settingsDir;
    std::unique_ptr<TestHttpsServer> m_server;
};

QTEST_GUILESS_MAIN(TestFeedUpdater)
#include "tst_feedupdater.moc"
