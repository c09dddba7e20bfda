// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net/feedupdater.h"
#include "platform/ui/updatealert.h"
#include "support/standardoutputcapture.h"
#include "support/updaterfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestUpdateAlert : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_fixture.isValid(), qPrintable(m_fixture.errorString())); }

    void init() { m_fixture.reset(); }

    void answer_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("scheduled");
        // Empty when no alert is to be shown.
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<bool>("dated");

        const QByteArray current = "<rss><channel><item><version>1.0</version>"
                                   "<link>https://example.org/1.0</link></item></channel></rss>";
        const QByteArray newer = "<rss><channel><item><version>2.0</version>"
                                 "<link>https://example.org/2.0</link></item></channel></rss>";
        QTest::newRow("fetch failed") << 503 << QByteArray() << false << u"The check for updates failed."_s
                                      << int(QMessageBox::Warning) << u"could not be fetched"_s << false;
        QTest::newRow("not a feed") << 200 << QByteArray("<html/>") << false << u"The check for updates failed."_s
                                    << int(QMessageBox::Warning) << u"RSS"_s << false;
        QTest::newRow("nothing newer") << 200 << current << false << u"No update is available."_s
                                       << int(QMessageBox::Information) << u"newest version"_s << true;
        QTest::newRow("newer") << 200 << newer << false << u"Glimbar 2.0 is available."_s
                               << int(QMessageBox::Information) << u"package manager"_s << true;
        QTest::newRow("scheduled, fetch failed") << 503 << QByteArray() << true << QString() << 0 << QString() << false;
    }

    // A check the user asked for is answered on screen, a failed one as a failure; the date of the
    // last check is recorded only when the feed was read.
    void answer()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, scheduled);
        QFETCH(QString, text);
        QFETCH(int, icon);
        QFETCH(QString, detail);
        QFETCH(bool, dated);

        m_fixture.server().setResponse("/appcast.xml", { .status = status, .body = body });
        FeedUpdater updater(m_fixture.settings(), options());
        UpdateAlert alerts(updater);
        QSignalSpy found(&updater, &Updater::updateFound);
        QSignalSpy notFound(&updater, &Updater::noUpdateFound);
        QSignalSpy failed(&updater, &Updater::checkFailed);
        StandardOutputCapture output;
        if (scheduled)
            updater.setAutomaticallyChecksForUpdates(true);
        updater.start();
        if (!scheduled)
            updater.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(found.size() + notFound.size() + failed.size(), 1, 20000);

        QCOMPARE(updater.lastUpdateCheckDate().has_value(), dated);
        if (text.isEmpty()) {
            QVERIFY(!alerts.alert());
            return;
        }
        QVERIFY(alerts.alert());
        QCOMPARE(alerts.alert()->text(), text);
        QCOMPARE(int(alerts.alert()->icon()), icon);
        QVERIFY2(alerts.alert()->informativeText().contains(detail), qPrintable(alerts.alert()->informativeText()));
    }

private:
    FeedUpdater::Options options() const
    {
        FeedUpdater::Options options = m_fixture.options();
        options.currentVersion = QVersionNumber(1, 0);
        return options;
    }

    UpdaterFixture m_fixture;
};

QTEST_MAIN(TestUpdateAlert)
#include "tst_updatealert.moc"
