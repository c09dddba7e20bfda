// SPDX-License-Identifier: GPL-3.0-or-later
// Before Qt, whose "signals" keyword would clash with a GIO field.
#include <gio/gdesktopappinfo.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The desktop entry as `cmake --install` leaves it, read by GIO as the desktop reads it.
class TestDesktopEntry : public QObject
{
    Q_OBJECT

private slots:
    void execNamesTheInstalledProgram_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::newRow("plain") << u"usr"_s;
        // Characters the entry's quoting reserves.
        QTest::newRow("blanks and reserved characters") << u"my $HOME \"dir\""_s;
    }

    // Found without the prefix's bin on PATH (a fresh `make install PREFIX=~/.local`).
    void execNamesTheInstalledProgram()
    {
        QFETCH(QString, prefix);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString installed = root.filePath(prefix);
        QProcess install;
        install.setProcessChannelMode(QProcess::ForwardedChannels);
        install.start(QStringLiteral(CMAKE_PROGRAM),
            { u"--install"_s, QStringLiteral(GLIMBAR_BUILD_DIR), u"--prefix"_s, installed });
        QVERIFY(install.waitForFinished(120000));
        QCOMPARE(install.exitCode(), 0);

        const QByteArray entry = QFile::encodeName(installed + u"/share/applications/glimbar.desktop"_s);
        GDesktopAppInfo *info = g_desktop_app_info_new_from_filename(entry.constData());
        QVERIFY2(info, entry.constData());
        // GIO hides an entry whose program it cannot find, so finding it is the first check; its
        // launches split the command line as a shell would.
        const QByteArray commandLine = g_app_info_get_commandline(G_APP_INFO(info));
        g_object_unref(info);
        gchar **argv = nullptr;
        QVERIFY(g_shell_parse_argv(commandLine.constData(), nullptr, &argv, nullptr));
        const QString program = QString::fromUtf8(argv[0]);
        g_strfreev(argv);
        QCOMPARE(program, installed + u"/bin/glimbar"_s);
    }
};

QTEST_GUILESS_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
