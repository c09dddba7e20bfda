// SPDX-License-Identifier: GPL-3.0-or-later
// Servers that never stop sending, or send too slowly: each download ends within its bound, in time
// and in memory. A program of its own, so that the peak memory it measures is its own.
#include "library/containerdownload.h"
#include "library/containermanager.h"
#include "support/folderlisting.h"
#include "support/standardoutputcapture.h"
#include "support/testhttpsserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

qint64 peakMemoryBytes()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

// Well above what the program and the server need, far below what an unbounded reader reaches. The
// address sanitizer keeps freed memory in quarantine (256 MiB by default), and it counts as used.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 sanitizerAllowance = qint64(320) << 20;
#else
constexpr qint64 sanitizerAllowance = 0;
#endif
constexpr qint64 memoryBound = (qint64(300) << 20) + sanitizerAllowance;

} // namespace

class TestHostileDownload : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestHttpsServer> m_server;
    QTemporaryDir m_caFolder;
    QString m_caFile;
    std::unique_ptr<QTemporaryDir> m_tmp;
    QByteArray m_savedTmpDir;

    ContainerManager m_manager;
    ContainerManager &manager() { return m_manager; }
    QString link(const QString &path) const
    {
        return u"glimbar://download/127.0.0.1:%1%2"_s.arg(m_server->port()).arg(path);
    }
    QByteArray address(const QByteArray &scheme, const QByteArray &path) const
    {
        return scheme + "://127.0.0.1:" + QByteArray::number(m_server->port()) + path;
    }

    // Downloads `path` and waits for the end; how long it took and how many containers came.
    std::pair<qint64, int> download(const QString &path)
    {
        auto received = std::make_shared<int>(0);
        QElapsedTimer timer;
        timer.start();
        manager().downloadContainer(link(path), [received](IconContainer) { ++*received; });
        QCoreApplication::processEvents();
        if (!QTest::qWaitFor([] { return QThreadPool::globalInstance()->activeThreadCount() == 0; }, 120000))
            return { -1, 0 };
        const qint64 elapsed = timer.elapsed();
        QCoreApplication::processEvents();
        return { elapsed, *received };
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_server = std::make_unique<TestHttpsServer>();
        QVERIFY2(m_server->isListening(), qPrintable(m_server->errorString()));
        QVERIFY(m_caFolder.isValid());
        m_caFile = m_caFolder.filePath(u"ca.pem"_s);
        QVERIFY(m_server->writeCertificate(m_caFile));
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_savedTmpDir = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(m_tmp->path()));
    }

    void cleanupTestCase()
    {
        manager().setDownloadOptions({});
        qputenv("TMPDIR", m_savedTmpDir);
    }

    void init()
    {
        manager().setError(std::nullopt);
        m_server->reset();
        ContainerDownload::Options options;
        options.fetchLimits.caFile = m_caFile;
        manager().setDownloadOptions(options);
    }

    void endlessHeadersEndWithinTheirBound_data()
    {
        QTest::addColumn<TestHttpsServer::Endless>("endless");
        QTest::newRow("endless status line") << TestHttpsServer::Endless::statusLine;
        QTest::newRow("endless headers") << TestHttpsServer::Endless::headers;
    }

    void endlessHeadersEndWithinTheirBound()
    {
        QFETCH(TestHttpsServer::Endless, endless);
        m_server->setResponse("/space.zip", { .status = 200, .endless = endless });
        QSignalSpy errors(&manager(), &ContainerManager::errorChanged);
        StandardOutputCapture output;

        const auto [elapsed, received] = download(u"/space.zip"_s);

        QVERIFY(elapsed >= 0);
        QVERIFY2(elapsed < 20000, qPrintable(QString::number(elapsed)));
        QCOMPARE(output.takeLines(), QStringList { QString::fromLatin1(address("https", "/space.zip")) });
        qInfo() << "ended after" << elapsed << "ms; peak memory" << peakMemoryBytes() / (1 << 20) << "MiB";
        QVERIFY2(peakMemoryBytes() < memoryBound, qPrintable(QString::number(peakMemoryBytes())));
        QCOMPARE(received, 0);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(manager().error(), std::optional(ContainerError::downloadFailed));
        QCOMPARE(folderListing(m_tmp->path()), QStringList());
    }

    void endlessBodyStopsAtTheBound()
    {
        ContainerDownload::Options options = manager().downloadOptions();
        options.fetchLimits.maxBodyBytes = qint64(64) << 20;
        manager().setDownloadOptions(options);
        m_server->setResponse("/space.zip", { .status = 200, .endless = TestHttpsServer::Endless::body });
        QSignalSpy errors(&manager(), &ContainerManager::errorChanged);
        StandardOutputCapture output;

        const auto [elapsed, received] = download(u"/space.zip"_s);

        QVERIFY(elapsed >= 0);
        QCOMPARE(output.takeLines(),
            QStringList({ QString::fromLatin1(address("https", "/space.zip")),
                u"The download is larger than %1 bytes."_s.arg(options.fetchLimits.maxBodyBytes) }));
        qInfo() << "ended after" << elapsed << "ms; peak memory" << peakMemoryBytes() / (1 << 20) << "MiB";
        // The body went to a file: memory stays far below the body's bound.
        QVERIFY2(peakMemoryBytes() < options.fetchLimits.maxBodyBytes + sanitizerAllowance,
            qPrintable(QString::number(peakMemoryBytes())));
        QCOMPARE(received, 0);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(manager().error(), std::optional(ContainerError::downloadFailed));
        QCOMPARE(folderListing(m_tmp->path()), QStringList());
    }

    void slowBodyEndsAtTheSpeedFloor()
    {
        // The floor as it stands, over a window short enough for a test.
        ContainerDownload::Options options = manager().downloadOptions();
        options.fetchLimits.lowSpeedTime = 1s;
        manager().setDownloadOptions(options);
        m_server->setResponse(
            "/space.zip", { .status = 200, .body = QByteArray(100000, 'z'), .trickleMilliseconds = 100 });
        StandardOutputCapture output;

        const auto [elapsed, received] = download(u"/space.zip"_s);

        qInfo() << "a body trickled at 10 bytes per second ended after" << elapsed << "ms";
        QVERIFY(elapsed >= 1000);
        QVERIFY2(elapsed < 10000, qPrintable(QString::number(elapsed)));
        QCOMPARE(received, 0);
        QCOMPARE(manager().error(), std::optional(ContainerError::downloadFailed));
    }

    void deadlineEndsAnyTransfer()
    {
        ContainerDownload::Options options = manager().downloadOptions();
        options.fetchLimits.minBytesPerSecond = 1;
        options.fetchLimits.deadline = 1500ms;
        manager().setDownloadOptions(options);
        m_server->setResponse(
            "/space.zip", { .status = 200, .body = QByteArray(100000, 'z'), .trickleMilliseconds = 100 });
        StandardOutputCapture output;

        const auto [elapsed, received] = download(u"/space.zip"_s);

        QVERIFY(elapsed >= 1500);
        QVERIFY2(elapsed < 10000, qPrintable(QString::number(elapsed)));
        QCOMPARE(received, 0);
    }

    void redirectsOnlyToHttpsAndOnlyAFew_data()
    {
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<int>("requests");
        QTest::newRow("to http") << "http"_ba << 1;
        QTest::newRow("in a loop") << "https"_ba << 6;
    }

    void redirectsOnlyToHttpsAndOnlyAFew()
    {
        QFETCH(QByteArray, location);
        QFETCH(int, requests);
        m_server->setResponse("/space.zip", { .status = 302, .location = address(location, "/space.zip") });
        QSignalSpy errors(&manager(), &ContainerManager::errorChanged);
        StandardOutputCapture output;

        const auto [elapsed, received] = download(u"/space.zip"_s);

        QVERIFY(elapsed >= 0);
        QCOMPARE(received, 0);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(manager().error(), std::optional(ContainerError::downloadFailed));
        // The plain http request never reaches the server as one: it is not even sent.
        QCOMPARE(m_server->requestedTargets().size(), requests);
    }

    void staleFoldersAreSwept()
    {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ::waitpid(child, nullptr, 0);
        const QString stale = u"glimbar-download-%1-abcdef"_s.arg(child);
        const QString running = u"glimbar-download-%1-ghijkl"_s.arg(::getpid());
        QVERIFY(QDir().mkpath(m_tmp->filePath(stale + u"/container"_s)));
        QVERIFY(QDir().mkpath(m_tmp->filePath(running)));
        QVERIFY(QDir().mkpath(m_tmp->filePath(u"other-folder"_s)));
        // Folders named without a process id are swept once they are a day old.
        const QString unnamedOld = u"glimbar-download-mnopqr"_s;
        const QString unnamedNew = u"glimbar-download-stuvwx"_s;
        QVERIFY(QDir().mkpath(m_tmp->filePath(unnamedOld)));
        QVERIFY(QDir().mkpath(m_tmp->filePath(unnamedNew)));
        const struct timespec twoDaysAgo[2]
            = { { ::time(nullptr) - 2 * 86400, 0 }, { ::time(nullptr) - 2 * 86400, 0 } };
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(m_tmp->filePath(unnamedOld)).constData(), twoDaysAgo, 0), 0);
        ContainerDownload::removeStaleFolders();
        QCOMPARE(folderListing(m_tmp->path()), QStringList({ running, unnamedNew, u"other-folder"_s }));
        for (const QString &name : { unnamedNew, running, u"other-folder"_s })
            QDir(m_tmp->filePath(name)).removeRecursively();
    }
};

QTEST_GUILESS_MAIN(TestHostileDownload)
#include "tst_hostiledownload.moc"
