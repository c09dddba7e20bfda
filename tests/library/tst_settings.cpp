// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/settings.h"
#include "platform/settings/settingsstore.h"
#include "support/settingsfixture.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstdio>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

QSettings rawStore()
{
    return QSettings(u"Glimbar"_s, u"Glimbar"_s);
}

template <typename T> std::function<bool()> readsDefault(const SettingsKey<T> &key)
{
    return [&key] { return key.read() == key.defaultValue(); };
}

// Whether each key, looked up by stored name, reads its default.
QHash<QString, std::function<bool()>> defaultCheckers(const Settings &settings)
{
    QHash<QString, std::function<bool()>> checks;
    const auto add = [&checks](const auto &key) { checks.insert(key.name(), readsDefault(key)); };
    add(settings.sidebarIconSize());
    add(settings.iconViewMode());
    add(settings.iconPreviewSize());
    add(settings.listIconSize());
    add(settings.galleryIconSize());
    add(settings.showIconNamesInGrid());
    add(settings.showIconNamesInGallery());
    add(settings.emulateLowResolution());
    add(settings.lowResolutionScreenBrightness());
    add(settings.lowResolutionOverlayColor());
    add(settings.defaultDragAndDropFormat());
    add(settings.alternateDragAndDropFormat());
    return checks;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A folder of this test's own: other test programs running beside it use settings too.
        QVERIFY(m_fixture.isValid());
        QVERIFY(rawStore().fileName().startsWith(m_fixture.path()));
    }

    void init() { m_fixture.clear(); }

    void keysMadeOnWorkerThreadNotifyOnApplicationThread()
    {
        std::unique_ptr<Settings> made;
        QThread *thread = QThread::create([this, &made] { made = std::make_unique<Settings>(m_fixture.store()); });
        thread->start();
        QVERIFY(thread->wait(10000));
        delete thread;
        QCOMPARE(made->alternateDragAndDropFormat().notifier()->thread(), QCoreApplication::instance()->thread());
    }

    void storedNames()
    {
        const QStringList names { settings().sidebarIconSize().name(), settings().iconViewMode().name(),
            settings().iconPreviewSize().name(), settings().listIconSize().name(), settings().galleryIconSize().name(),
            settings().showIconNamesInGrid().name(), settings().showIconNamesInGallery().name(),
            settings().emulateLowResolution().name(), settings().lowResolutionScreenBrightness().name(),
            settings().lowResolutionOverlayColor().name(), settings().defaultDragAndDropFormat().name(),
            settings().alternateDragAndDropFormat().name() };
        QCOMPARE(names,
            QStringList({ u"sidebarIconSize"_s, u"iconViewMode"_s, u"iconPreviewSize"_s, u"listIconSize"_s,
                u"galleryIconSize"_s, u"showIconNamesInGrid"_s, u"showIconNamesInGallery"_s, u"emulateLowResoltion"_s,
                u"lowResolutionScreenBrightness"_s, u"lowResolutionOverlayColor"_s, u"defaultDragAndDropFormat"_s,
                u"alternateDragAndDropFormat"_s }));

        settings().emulateLowResolution().write(true);
        QCOMPARE(rawStore().value(u"emulateLowResoltion"_s), QVariant(true));
        QVERIFY(!rawStore().contains(u"emulateLowResolution"_s));
    }

    void freshStoreDefaults()
    {
        QCOMPARE(settings().sidebarIconSize().read(), SidebarIconSize::defaultSize);
        QCOMPARE(settings().iconViewMode().read(), IconViewMode::grid);
        QCOMPARE(settings().iconPreviewSize().read(), 64);
        QCOMPARE(settings().listIconSize().read(), ListIconSize::defaultSize);
        QCOMPARE(settings().galleryIconSize().read(), GalleryIconSize::defaultSize);
        QCOMPARE(settings().showIconNamesInGrid().read(), false);
        QCOMPARE(settings().showIconNamesInGallery().read(), false);
        QCOMPARE(settings().emulateLowResolution().read(), false);
        QCOMPARE(settings().lowResolutionScreenBrightness().read(), 2.0f);
        QCOMPARE(settings().lowResolutionOverlayColor().read(), (HSBColor { 0.666, 0.1, 0.3, 1.0 }));
        QCOMPARE(settings().defaultDragAndDropFormat().read(), DragAndDropIconFormat::folder);
        QCOMPARE(settings().alternateDragAndDropFormat().read(), false);
        QVERIFY(rawStore().allKeys().isEmpty());
    }

    // Each stored value would read as something other than the default if it were parsed loosely.
    void unreadableValuesReadAsDefault_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("stored");

        QTest::newRow("view mode title") << u"iconViewMode"_s << QVariant(u"List"_s);
        QTest::newRow("view mode blank") << u"iconViewMode"_s << QVariant(u" gallery"_s);
        QTest::newRow("view mode number") << u"iconViewMode"_s << QVariant(1);
        QTest::newRow("view mode list") << u"iconViewMode"_s << QVariant(QStringList { u"list"_s });
        QTest::newRow("sidebar case name") << u"sidebarIconSize"_s << QVariant(u"small "_s);
        QTest::newRow("drag format title") << u"defaultDragAndDropFormat"_s << QVariant(u"Image"_s);
        QTest::newRow("size not a number") << u"iconPreviewSize"_s << QVariant(u"banana"_s);
        QTest::newRow("size fraction") << u"iconPreviewSize"_s << QVariant(u"128.5"_s);
        QTest::newRow("size bool") << u"iconPreviewSize"_s << QVariant(true);
        QTest::newRow("size double") << u"iconPreviewSize"_s << QVariant(128.0);
        QTest::newRow("bool yes") << u"showIconNamesInGrid"_s << QVariant(u"yes"_s);
        QTest::newRow("bool one") << u"emulateLowResoltion"_s << QVariant(u"1"_s);
        QTest::newRow("bool number") << u"alternateDragAndDropFormat"_s << QVariant(1);
        QTest::newRow("brightness text") << u"lowResolutionScreenBrightness"_s << QVariant(u"bright"_s);
        QTest::newRow("brightness nan") << u"lowResolutionScreenBrightness"_s << QVariant(u"nan"_s);
        QTest::newRow("brightness inf") << u"lowResolutionScreenBrightness"_s << QVariant(u"inf"_s);
        QTest::newRow("brightness beyond float") << u"lowResolutionScreenBrightness"_s << QVariant(1e39);
        QTest::newRow("colour text") << u"lowResolutionOverlayColor"_s << QVariant(u"red"_s);
        QTest::newRow("colour short") << u"lowResolutionOverlayColor"_s
                                      << QVariant(QStringList { u"hsb"_s, u"0.5"_s, u"0.5"_s, u"0.5"_s });
        QTest::newRow("colour other space")
            << u"lowResolutionOverlayColor"_s << QVariant(QStringList { u"rgb"_s, u"1"_s, u"0"_s, u"0"_s, u"1"_s });
        QTest::newRow("colour out of range")
            << u"lowResolutionOverlayColor"_s << QVariant(QStringList { u"hsb"_s, u"0.5"_s, u"1.5"_s, u"0"_s, u"1"_s });
        QTest::newRow("colour not a number")
            << u"lowResolutionOverlayColor"_s << QVariant(QStringList { u"hsb"_s, u"0.5"_s, u"x"_s, u"0"_s, u"1"_s });
    }

    void unreadableValuesReadAsDefault()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, stored);
        rawStore().setValue(name, stored);
        m_fixture.store().reload();
        const auto checks = defaultCheckers(settings());
        QVERIFY(checks.contains(name));
        QVERIFY(checks.value(name)());
    }

    // What a fresh process finds in the file is text; the store's own typed values read too.
    void storedFormsRead()
    {
        rawStore().setValue(u"iconPreviewSize"_s, u"128"_s);
        m_fixture.store().reload();
        QCOMPARE(settings().iconPreviewSize().read(), 128);
        rawStore().setValue(u"iconPreviewSize"_s, 32);
        m_fixture.store().reload();
        QCOMPARE(settings().iconPreviewSize().read(), 32);
        rawStore().setValue(u"showIconNamesInGallery"_s, u"true"_s);
        m_fixture.store().reload();
        QCOMPARE(settings().showIconNamesInGallery().read(), true);
        rawStore().setValue(u"lowResolutionScreenBrightness"_s, u"2.5"_s);
        m_fixture.store().reload();
        QCOMPARE(settings().lowResolutionScreenBrightness().read(), 2.5f);
        rawStore().setValue(u"listIconSize"_s, u"large"_s);
        m_fixture.store().reload();
        QCOMPARE(settings().listIconSize().read(), ListIconSize::large);
        rawStore().setValue(
            u"lowResolutionOverlayColor"_s, QStringList { u"hsb"_s, u"0.5"_s, u"0.25"_s, u"1"_s, u"0"_s });
        m_fixture.store().reload();
        QCOMPARE(settings().lowResolutionOverlayColor().read(), (HSBColor { 0.5, 0.25, 1, 0 }));
    }

    void writesStoreNativeAndRawValueForms()
    {
        settings().iconViewMode().write(IconViewMode::gallery);
        settings().sidebarIconSize().write(SidebarIconSize::defaultSize);
        settings().showIconNamesInGrid().write(true);
        settings().iconPreviewSize().write(128);
        settings().lowResolutionScreenBrightness().write(3.5f);
        settings().lowResolutionOverlayColor().write(HSBColor { 0.666, 0.1, 0.3, 1.0 });

        m_fixture.store().sync();
        QSettings store = rawStore();
        QCOMPARE(store.value(u"iconViewMode"_s), QVariant(u"gallery"_s));
        QCOMPARE(store.value(u"sidebarIconSize"_s), QVariant(u"default"_s));
        QCOMPARE(store.value(u"showIconNamesInGrid"_s), QVariant(true));
        QCOMPARE(store.value(u"iconPreviewSize"_s), QVariant(qint64(128)));
        QCOMPARE(store.value(u"lowResolutionScreenBrightness"_s), QVariant(3.5f));

        // After a sync the file holds every write.
        QFile file(store.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("iconViewMode=gallery\n"));
        QVERIFY(text.contains("sidebarIconSize=default\n"));
        QVERIFY(text.contains("showIconNamesInGrid=true\n"));
        QVERIFY(text.contains("iconPreviewSize=128\n"));
        QVERIFY(text.contains("lowResolutionScreenBrightness=3.5\n"));
        QVERIFY(text.contains("lowResolutionOverlayColor=hsb, 0.666, 0.1, 0.3, 1\n"));
    }

    void colourRoundTripAndReset()
    {
        const auto &key = settings().lowResolutionOverlayColor();
        const HSBColor picked { 0.1 + 0.2, 1.0 / 3.0, 0.0, 0.25 };
        key.write(picked);
        QCOMPARE(key.read(), picked);

        // A grey has no hue; it must still be stored as a readable colour, not lost to the default.
        const HSBColor grey = HSBColor::fromColor(QColor(128, 128, 128));
        key.write(grey);
        QCOMPARE(key.read(), grey);
        QCOMPARE(key.read().toColor().rgb(), QColor(128, 128, 128).rgb());

        key.reset();
        QVERIFY(!rawStore().contains(key.name()));
        const HSBColor color = key.read();
        QCOMPARE(color.hue, 0.666);
        QCOMPARE(color.saturation, 0.1);
        QCOMPARE(color.brightness, 0.3);
        QCOMPARE(color.opacity, 1.0);
    }

    void changeSignalOnEveryWriteAndReset()
    {
        const auto &key = settings().iconViewMode();
        QSignalSpy spy(key.notifier(), &SettingsKeyNotifier::changed);
        QList<IconViewMode> seen;
        QObject receiver;
        connect(key.notifier(), &SettingsKeyNotifier::changed, &receiver, [&seen, &key] { seen << key.read(); });

        key.write(IconViewMode::list);
        key.write(IconViewMode::list);
        key.reset();
        key.reset();
        QCOMPARE(spy.count(), 4);
        QCOMPARE(seen, QList({ IconViewMode::list, IconViewMode::list, IconViewMode::grid, IconViewMode::grid }));

        // Other keys keep quiet.
        QSignalSpy otherSpy(settings().listIconSize().notifier(), &SettingsKeyNotifier::changed);
        key.write(IconViewMode::gallery);
        QCOMPARE(otherSpy.count(), 0);
    }

    void writeFromWorkerThreadReachesReceiverOnItsThread()
    {
        const auto &key = settings().iconPreviewSize();
        QObject receiver;
        QList<QThread *> deliveredOn;
        connect(key.notifier(), &SettingsKeyNotifier::changed, &receiver,
            [&deliveredOn] { deliveredOn << QThread::currentThread(); });

        QThread *thread = QThread::create([&key] { key.write(256); });
        thread->start();
        QVERIFY(thread->wait(10000));
        delete thread;
        QCOMPARE(key.read(), 256);
        QTRY_COMPARE(deliveredOn.size(), 1);
        QCOMPARE(deliveredOn.first(), QThread::currentThread());
    }

    // Readers never see a value that was not written, nor one older than what they saw before.
    void concurrentReadersAndWriters()
    {
        const auto &size = settings().iconPreviewSize();
        const auto &names = settings().showIconNamesInGrid();
        // Above the default of 64, so that every value read must be that or a later one.
        constexpr qint64 first = 1000, writes = 2000;
        std::atomic<bool> done { false };
        std::atomic<int> disorder { 0 };
        std::vector<std::thread> threads;
        threads.emplace_back([&size] {
            for (qint64 i = 0; i < writes; ++i)
                size.write(first + i);
        });
        threads.emplace_back([&names] {
            for (int i = 0; i < writes; ++i)
                names.write(i % 2 == 0);
        });
        for (int reader = 0; reader < 4; ++reader) {
            threads.emplace_back([&size, &names, &done, &disorder] {
                qint64 last = 0;
                while (!done.load()) {
                    const qint64 value = size.read();
                    if (value < last || (value != 64 && (value < first || value >= first + writes)))
                        ++disorder;
                    last = value;
                    names.read();
                }
            });
        }
        threads.at(0).join();
        threads.at(1).join();
        done.store(true);
        for (std::size_t i = 2; i < threads.size(); ++i)
            threads.at(i).join();
        QCOMPARE(disorder.load(), 0);
        QCOMPARE(size.read(), first + writes - 1);
        QCOMPARE(names.read(), false);
        m_fixture.store().sync();
        QCOMPARE(rawStore().value(size.name()).toLongLong(), first + writes - 1);
    }

    // The Option key's state changes with every press and release: it is kept in memory, and the
    // file keeps what it held, which is what the key reads until the first write.
    void alternateFormatStaysInMemory()
    {
        rawStore().setValue(u"alternateDragAndDropFormat"_s, true);
        m_fixture.store().reload();
        const auto &key = settings().alternateDragAndDropFormat();
        QCOMPARE(key.read(), true);

        QSignalSpy spy(key.notifier(), &SettingsKeyNotifier::changed);
        key.write(false);
        QCOMPARE(key.read(), false);
        // Another key's write flushes the file; the Option key's value is not among it.
        settings().iconPreviewSize().write(100);
        m_fixture.store().sync();
        QFile file(rawStore().fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("alternateDragAndDropFormat=true\n"));
        QVERIFY(text.contains("iconPreviewSize=100\n"));

        key.write(true);
        key.reset();
        QCOMPARE(key.read(), false);
        QCOMPARE(spy.count(), 3);
        QCOMPARE(rawStore().value(key.name()), QVariant(u"true"_s));
    }

    // A value written just before the program quits is there when it starts again.
    void valueWrittenBeforeQuitOutlivesTheProcess()
    {
        QVERIFY(runSelf(u"write"_s, u"300"_s).isEmpty());
        QCOMPARE(runSelf(u"read"_s), u"300"_s);
    }

private:
    // Runs this program again as a plain process that writes or reads iconPreviewSize in this
    // test's settings folder; what it printed.
    QString runSelf(const QString &action, const QString &value = {})
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"GLIMBAR_SETTINGS_CHILD"_s, action);
        environment.insert(u"GLIMBAR_SETTINGS_PATH"_s, m_fixture.path());
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationFilePath(), { value });
        if (!process.waitForFinished(30000) || process.exitCode() != 0)
            return u"failed"_s;
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    Settings &settings() const { return m_fixture.settings(); }

    SettingsFixture m_fixture;
};

// The child of valueWrittenBeforeQuitOutlivesTheProcess(): writes and quits through the event
// loop as the application does, or reads and prints.
static int settingsChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qEnvironmentVariable("GLIMBAR_SETTINGS_PATH"));
    SettingsStore store;
    const Settings settings(store);
    if (qEnvironmentVariable("GLIMBAR_SETTINGS_CHILD") == "read"_L1) {
        std::printf("%lld\n", static_cast<long long>(settings.iconPreviewSize().read()));
        return 0;
    }
    settings.iconPreviewSize().write(QCoreApplication::arguments().value(1).toLongLong());
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return QCoreApplication::exec();
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("GLIMBAR_SETTINGS_CHILD"))
        return settingsChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestSettings test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settings.moc"
