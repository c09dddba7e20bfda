// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/libraryreader.h"
#include "library/libraryworker.h"
#include "support/libraryfixture.h"
#include "support/savegeneration.h"
#include "support/workergate.h"

#include <QMutex>
#include <QProcess>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

class TestLibraryWorker : public QObject
{
    Q_OBJECT

private:
    LibraryFixture m_fixture;

private slots:
    void initTestCase() { QVERIFY(m_fixture.isValid()); }
    void init() { m_fixture.reset(); }

    // Jobs run off the asking thread, in the order posted; a load queued right behind a load that
    // has not started is dropped, one behind a write is not.
    void runsInOrderAndFoldsWaitingLoads()
    {
        using Kind = LibraryWorker::Kind;
        LibraryWorker worker;
        QMutex mutex;
        QStringList ran;
        QList<QThread *> threads;
        const auto job = [&](const QString &name) {
            return [&, name] {
                const QMutexLocker lock(&mutex);
                ran << name;
                threads << QThread::currentThread();
            };
        };
        {
            WorkerGate gate(worker);
            gate.waitUntilHeld();
            worker.post(Kind::load, job(u"load 1"_s));
            worker.post(Kind::load, job(u"load 2"_s));
            worker.post(Kind::write, job(u"write"_s));
            worker.post(Kind::load, job(u"load 3"_s));
            worker.post(Kind::load, job(u"load 4"_s));
        }
        worker.waitForIdle();
        QCOMPARE(ran, QStringList({ u"load 1"_s, u"write"_s, u"load 3"_s }));
        QVERIFY(!threads.contains(QThread::currentThread()));
    }

    // What is handed back to be released is freed on the worker, after the jobs before it; it is
    // no work of its own: loads around it still fold, and busy() never waits for it.
    void releasesOnTheWorkerWithoutCountingAsWork()
    {
        using Kind = LibraryWorker::Kind;
        struct Probe
        {
            explicit Probe(QThread *&freedOn)
                : freedOn(freedOn)
            { }
            ~Probe() { freedOn = QThread::currentThread(); }
            QThread *&freedOn;
        };
        LibraryWorker worker;
        worker.setBusyDelay(std::chrono::milliseconds(0));
        QThread *freedOn = nullptr;
        QThread *workerThread = nullptr;
        QStringList ran;
        {
            WorkerGate gate(worker);
            gate.waitUntilHeld();
            worker.post(Kind::load, [&] {
                ran << u"load 1"_s;
                workerThread = QThread::currentThread();
            });
            worker.release(std::make_shared<Probe>(freedOn));
            worker.post(Kind::load, [&ran] { ran << u"load 2"_s; });
            QTRY_VERIFY(worker.busy());
            QVERIFY(!freedOn);
        }
        worker.waitForIdle();
        QCOMPARE(ran, QStringList({ u"load 1"_s }));
        QVERIFY(workerThread && workerThread != QThread::currentThread());
        QCOMPARE(freedOn, workerThread);
        // Idle once the gate and the load report done: the release is not waited for.
        QTRY_VERIFY(!worker.busy());
    }

    // At the end of the run, loads that have not started are dropped; writes still run, and
    // nothing posted afterwards does.
    void finishDropsWaitingLoadsOnly()
    {
        using Kind = LibraryWorker::Kind;
        LibraryWorker worker;
        QStringList ran;
        // Held until the end of the run has begun, so the load below has surely not started.
        QSemaphore entered;
        worker.post(Kind::write, [&worker, &entered] {
            entered.release();
            while (!worker.stopping())
                QThread::msleep(1);
        });
        entered.acquire();
        worker.post(Kind::load, [&ran] { ran << u"load"_s; });
        worker.post(Kind::write, [&ran] { ran << u"write"_s; });
        worker.finish();
        worker.post(Kind::write, [&ran] { ran << u"late"_s; });
        worker.waitForIdle();
        QCOMPARE(ran, QStringList({ u"write"_s }));
        QVERIFY(!worker.busy());
    }

    // Work that lasts shows as busy after the delay, and no longer once it is done.
    void busyWhileWorkLasts()
    {
        ContainerManager manager;
        QSignalSpy busy(&manager, &ContainerManager::busyChanged);
        auto gate = std::make_unique<WorkerGate>(manager.worker());
        manager.loadLibrary();
        QTRY_VERIFY_WITH_TIMEOUT(manager.busy(), 10000);
        QCOMPARE(busy.size(), 1);
        QSignalSpy published(&manager, &ContainerManager::containersChanged);
        gate.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!manager.busy(), 10000);
        // The results arrived before the worker showed as idle.
        QCOMPARE(published.size(), 1);
        QCOMPARE(busy.size(), 2);
        QCOMPARE(busy.at(1).at(0).toBool(), false);
    }

    // A program that quits while the library saves waits for the save: the container is whole.
    void quitDuringSaveLeavesContainerWhole()
    {
        constexpr int icons = 48;
        constexpr qsizetype iconBytes = qsizetype(1) << 20;
        const QString library = m_fixture.libraryFolder();
        QVERIFY(QDir().mkpath(library));
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(GLIMBAR_TEST_HELPERS_DIR "/quit_during_save"),
            { u"7"_s, QString::number(icons), QString::number(iconBytes) });
        QVERIFY(program.waitForFinished(120000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const std::optional<QList<IconContainer>> loaded
            = LibraryReader::readLibrary(library, [](const IconLookup &) {});
        QVERIFY(loaded);
        QCOMPARE(loaded->size(), 1);
        QCOMPARE(SaveGeneration::generationOf(loaded->constFirst(), icons, iconBytes), 7);
    }
};

QTEST_MAIN(TestLibraryWorker)
#include "tst_libraryworker.moc"
