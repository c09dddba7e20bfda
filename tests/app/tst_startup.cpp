// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/glimbarapp.h"
#include "library/librarywriter.h"
#include "mainwindow/contentview.h"

#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"
#include "support/savegeneration.h"
#include "support/typedstreamwriter.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void windowOpensAndCloses()
    {
        GlimbarApp app;
        ContentView *window = app.openMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->windowTitle(), QStringLiteral("Glimbar"));
        QVERIFY(window->close());
    }

    // The program itself, under a file-size limit, importing over a container it has: the write
    // fails with the system's reason and the program goes on, the container as it was.
    void importPastTheFileSizeLimitIsReported()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString runtime = home.filePath(u"runtime"_s);
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString library = home.filePath(u"data/Glimbar/Library"_s);
        QVERIFY(QDir().mkpath(library));
        QVERIFY(LibraryWriter::saveContainer(IconContainer { .title = u"Space"_s }, library));
        const QByteArray info = LibraryFixture::readFile(library + u"/Space.ravivovode/info.json"_s);

        const QByteArray icns
            = IcnsBuilder().add("ic07", IcnsBuilder::png(SaveGeneration::picture(1, 64 * 1024))).build();
        const ArchivedValue icon = ts::dict({ { "Type", ts::str("IcnsFile") }, { "IcnsData", ts::bytes(icns) } });
        const QString archive = home.filePath(u"Space.ravivovode"_s);
        QVERIFY(LibraryFixture::writeFile(
            archive, TypedStreamWriter::archive(ts::dict({ { "Icons", ts::dict({ { "Star", icon } }) } }))));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
        environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u"data"_s));
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        QProcess glimbar;
        glimbar.setProcessEnvironment(environment);
        glimbar.setChildProcessModifier([] {
            // As a shell's "ulimit -f" leaves it: the signal at its default, which ends the process.
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit limit {};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 16 * 1024;
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        glimbar.start(QStringLiteral(GLIMBAR_PROGRAM), { archive });
        QVERIFY(glimbar.waitForStarted());
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += glimbar.readAllStandardOutput()).contains("File too large")
                || glimbar.state() == QProcess::NotRunning,
            60000);
        output += glimbar.readAllStandardOutput();
        QVERIFY2(output.contains("File too large"), output.constData());
        QCOMPARE(glimbar.state(), QProcess::Running);
        glimbar.kill();
        QVERIFY(glimbar.waitForFinished(30000));
        QCOMPARE(LibraryFixture::readFile(library + u"/Space.ravivovode/info.json"_s), info);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
