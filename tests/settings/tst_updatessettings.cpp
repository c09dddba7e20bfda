// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/appupdatesview.h"
#include "settings/appupdatesviewmodel.h"
#include "settings/updatecheckinterval.h"
#include "settings/updatessettingsview.h"
#include "support/fakeupdater.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

namespace {

// Runs `work` on a thread of its own and waits for it to end.
template <typename Work> void onWorkerThread(Work work)
{
    QThread *thread = QThread::create(work);
    thread->start();
    QVERIFY(thread->wait(10000));
    delete thread;
}

} // namespace

class TestUpdatesSettings : public QObject
{
    Q_OBJECT

private slots:
    void intervals_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("label");
        QTest::addColumn<double>("seconds");
        QTest::newRow("hourly") << 0 << u"Hourly"_s << 3600.0;
        QTest::newRow("daily") << 1 << u"Daily"_s << 86400.0;
        QTest::newRow("weekly") << 2 << u"Weekly"_s << 604800.0;
        QTest::newRow("monthly") << 3 << u"Monthly"_s << 2629800.0;
    }

    // The picker lists the intervals in order, shows the updater's and writes the one picked.
    void intervals()
    {
        QFETCH(int, position);
        QFETCH(QString, label);
        QFETCH(double, seconds);
        QCOMPARE(updateCheckIntervalFromSeconds(seconds), allUpdateCheckIntervals.at(std::size_t(position)));

        FakeUpdater updater;
        updater.interval = seconds;
        UpdatesSettingsView view(updater);
        QComboBox *picker = view.frequencyPicker();
        QCOMPARE(picker->count(), 4);
        QCOMPARE(picker->currentIndex(), position);
        QCOMPARE(picker->itemText(position), label);

        updater.interval = 1;
        view.reload();
        QCOMPARE(picker->currentIndex(), -1);
        // Picked from the keyboard, as a user would, starting from no item.
        for (int step = 0; step <= position; ++step)
            QTest::keyClick(picker, Qt::Key_Down);
        QCOMPARE(picker->currentIndex(), position);
        QCOMPARE(updater.interval, seconds);
    }

    // Thirty days is none of the list: nothing is chosen and nothing is written until a pick.
    void unknownIntervalChoosesNothing()
    {
        QVERIFY(!updateCheckIntervalFromSeconds(2592000));
        FakeUpdater updater;
        updater.interval = 2592000;
        UpdatesSettingsView view(updater);
        view.show();
        QCOMPARE(view.frequencyPicker()->currentIndex(), -1);
        QVERIFY(updater.writes.isEmpty());
    }

    void toggles()
    {
        FakeUpdater updater;
        updater.automaticChecks = false;
        updater.automaticDownloads = true;
        UpdatesSettingsView view(updater);
        view.show();
        // Off checks leave the download setting shown but unavailable; the rest stays usable.
        QVERIFY(!view.automaticChecksBox()->isChecked());
        QVERIFY(view.automaticDownloadsBox()->isChecked());
        QVERIFY(!view.automaticDownloadsBox()->isEnabled());
        QVERIFY(view.frequencyPicker()->isEnabled());
        QVERIFY(view.checkButton()->isEnabled());
        QVERIFY(updater.writes.isEmpty());

        QTest::mouseClick(view.automaticChecksBox(), Qt::LeftButton);
        QVERIFY(view.automaticDownloadsBox()->isEnabled());
        QTest::mouseClick(view.automaticDownloadsBox(), Qt::LeftButton);
        QTest::mouseClick(view.automaticChecksBox(), Qt::LeftButton);
        QCOMPARE(updater.writes,
            QStringList({ u"automaticallyChecksForUpdates=true"_s, u"automaticallyDownloadsUpdates=false"_s,
                u"automaticallyChecksForUpdates=false"_s }));
        QVERIFY(!updater.automaticDownloads);

        // The tab's button checks whatever the updater says about starting one.
        QTest::mouseClick(view.checkButton(), Qt::LeftButton);
        QCOMPARE(updater.checks, 1);
    }

    void lastChecked()
    {
        FakeUpdater updater;
        UpdatesSettingsView view(updater);
        view.show();
        QVERIFY(view.lastCheckedLabel()->isHidden());

        const QDateTime when(QDate(2026, 3, 4), QTime(9, 5));
        updater.lastCheck = when;
        Q_EMIT updater.lastUpdateCheckDateChanged();
        QVERIFY(!view.lastCheckedLabel()->isHidden());
        const QLocale locale;
        QCOMPARE(view.lastCheckedLabel()->text(),
            u"Last checked: "_s + locale.toString(when.date(), QLocale::LongFormat) + u" "_s
                + locale.toString(when.time(), QLocale::ShortFormat));
    }

    void menuCommandFollowsUpdater()
    {
        FakeUpdater updater;
        AppUpdatesView command(updater);
        QCOMPARE(command.text(), u"Check for Updates\u2026"_s);
        QVERIFY(!command.isEnabled());
        Q_EMIT updater.canCheckForUpdatesChanged(true);
        QVERIFY(command.isEnabled());
        command.trigger();
        QCOMPARE(updater.checks, 1);

        // A model made while the updater can check starts enabled.
        updater.canCheck = true;
        const AppUpdatesView later(updater);
        QVERIFY(later.isEnabled());
    }

    // The updater may report from a thread of its own; the model, the command and the tab only
    // ever hear of it on the GUI thread.
    void updaterReportsReachGuiThread()
    {
        FakeUpdater updater;
        AppUpdatesView command(updater);
        UpdatesSettingsView view(updater);
        view.show();
        QList<QThread *> modelThreads;
        connect(command.model(), &AppUpdatesViewModel::canCheckForUpdatesChanged, this,
            [&modelThreads] { modelThreads.append(QThread::currentThread()); });

        updater.lastCheck = QDateTime::currentDateTime();
        onWorkerThread([&updater] {
            Q_EMIT updater.canCheckForUpdatesChanged(true);
            Q_EMIT updater.lastUpdateCheckDateChanged();
        });
        // Nothing ran on the worker: the label is still hidden and the command still off until
        // the GUI thread's events are processed.
        QVERIFY(modelThreads.isEmpty());
        QVERIFY(view.lastCheckedLabel()->isHidden());
        QVERIFY(!command.isEnabled());

        QTRY_VERIFY(command.isEnabled());
        QCOMPARE(modelThreads, QList<QThread *>({ QThread::currentThread() }));
        QTRY_VERIFY(!view.lastCheckedLabel()->isHidden());
    }
};

QTEST_MAIN(TestUpdatesSettings)
#include "tst_updatessettings.moc"
