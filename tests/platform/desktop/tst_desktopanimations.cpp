// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/desktopanimations.h"
#include "support/libraryfixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// GLib names a struct member `signals`, which Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

using namespace Qt::StringLiterals;

namespace {

constexpr const char *childVariable = "GLIMBAR_DESKTOP_ANIMATIONS_CHILD";

} // namespace

class TestDesktopAnimations : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

    QString kdeglobals(const QString &name, const QByteArray &contents)
    {
        const QString path = m_folder.filePath(name);
        LibraryFixture::writeFile(path, contents);
        return path;
    }

private slots:
    void initTestCase()
    {
        // GSettings in memory, so the test changes no desktop's settings; before GIO first looks.
        qputenv("GSETTINGS_BACKEND", "memory");
    }

    void kdeFactor_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QByteArray>("system");
        QTest::addColumn<double>("factor"); // −1: none

        QTest::newRow("off") << QByteArray("[General]\nfoo=1\n[KDE]\nAnimationDurationFactor=0\n") << QByteArray()
                             << 0.0;
        QTest::newRow("slower") << QByteArray("[KDE]\n AnimationDurationFactor = 2.5\n") << QByteArray() << 2.5;
        QTest::newRow("other group") << QByteArray("[General]\nAnimationDurationFactor=0\n") << QByteArray() << -1.0;
        QTest::newRow("not a number") << QByteArray("[KDE]\nAnimationDurationFactor=fast\n") << QByteArray() << -1.0;
        QTest::newRow("negative") << QByteArray("[KDE]\nAnimationDurationFactor=-1\n") << QByteArray() << -1.0;
        QTest::newRow("later line wins") << QByteArray("[KDE]\nAnimationDurationFactor=0\nAnimationDurationFactor=1\n")
                                         << QByteArray() << 1.0;
        QTest::newRow("system file when the user's is silent")
            << QByteArray("[KDE]\nSingleClick=false\n") << QByteArray("[KDE]\nAnimationDurationFactor=0\n") << 0.0;
        QTest::newRow("user's file first") << QByteArray("[KDE]\nAnimationDurationFactor=1\n")
                                           << QByteArray("[KDE]\nAnimationDurationFactor=0\n") << 1.0;
        QTest::newRow("binary") << QByteArray("\0\xff[KDE\n=\n\0", 9) << QByteArray() << -1.0;
    }

    void kdeFactor()
    {
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, system);
        QFETCH(double, factor);
        QStringList files { kdeglobals(u"user"_s, user), m_folder.filePath(u"missing"_s) };
        if (!system.isEmpty())
            files << kdeglobals(u"system"_s, system);
        const std::optional<double> read = DesktopAnimations::kdeDurationFactor(files);
        QCOMPARE(read.value_or(-1.0), factor);
    }

    void gnomeSwitchTurnsAnimationsOff()
    {
        if (qEnvironmentVariableIsSet(childVariable))
            QSKIP("the child process checks the desktop without the schema");
        GSettingsSchemaSource *source = g_settings_schema_source_get_default();
        GSettingsSchema *schema
            = source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.interface", TRUE) : nullptr;
        QVERIFY2(schema, "gsettings-desktop-schemas is installed by scripts/install-deps");
        g_settings_schema_unref(schema);

        qputenv("XDG_CONFIG_HOME", m_folder.filePath(u"config"_s).toUtf8());
        qputenv("XDG_CONFIG_DIRS", m_folder.filePath(u"config-dirs"_s).toUtf8());
        GSettings *settings = g_settings_new("org.gnome.desktop.interface");
        g_settings_set_boolean(settings, "enable-animations", TRUE);
        QVERIFY(DesktopAnimations::gnomeAnimationsEnabled() == true);
        QCOMPARE(DesktopAnimations::durationFactor(), 1.0);
        g_settings_set_boolean(settings, "enable-animations", FALSE);
        QVERIFY(DesktopAnimations::gnomeAnimationsEnabled() == false);
        QCOMPARE(DesktopAnimations::durationFactor(), 0.0);
        g_object_unref(settings);
    }

    void withoutSchemaNothingIsTurnedOff()
    {
        if (qEnvironmentVariableIsSet(childVariable)) {
            QVERIFY(!DesktopAnimations::gnomeAnimationsEnabled());
            QCOMPARE(DesktopAnimations::durationFactor(), 1.0);
            return;
        }
        // GIO finds its schemas once per process: ask a child that sees none.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(childVariable), u"1"_s);
        environment.insert(u"XDG_DATA_DIRS"_s, m_folder.filePath(u"no-data"_s));
        environment.insert(u"XDG_DATA_HOME"_s, m_folder.filePath(u"no-data-home"_s));
        environment.insert(u"XDG_CONFIG_HOME"_s, m_folder.filePath(u"no-config"_s));
        environment.insert(u"XDG_CONFIG_DIRS"_s, m_folder.filePath(u"no-config-dirs"_s));
        environment.remove(u"GSETTINGS_SCHEMA_DIR"_s);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), { u"withoutSchemaNothingIsTurnedOff"_s });
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDesktopAnimations)
#include "tst_desktopanimations.moc"
