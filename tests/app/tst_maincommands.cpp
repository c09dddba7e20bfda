// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/glimbarapp.h"
#include "library/containermanager.h"
#include "library/settings.h"
#include "mainwindow/containerimporter.h"
#include "mainwindow/contentview.h"
#include "mainwindow/iconexporter.h"
#include "mainwindow/mainsplitview.h"
#include "mainwindow/sidebarview.h"
#include "support/fakeupdater.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace Qt::Literals::StringLiterals;

namespace {

QString plain(QString text)
{
    return text.remove(u'&');
}

// The item reached by the texts of `path` ("File/Import/rAvivovode…"), menu titles without their
// mnemonics; null when there is none.
QAction *findAction(QMainWindow *window, const QString &path)
{
    QList<QAction *> actions = window->menuBar()->actions();
    QAction *found = nullptr;
    for (const QString &step : path.split(u'/')) {
        found = nullptr;
        for (QAction *action : actions) {
            if (plain(action->text()) == step) {
                found = action;
                break;
            }
        }
        if (!found)
            return nullptr;
        actions = found->menu() ? found->menu()->actions() : QList<QAction *>();
    }
    return found;
}

} // namespace

class TestMainCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }

    void init()
    {
        auto updater = std::make_unique<FakeUpdater>();
        m_updater = updater.get();
        m_app = std::make_unique<GlimbarApp>(std::move(updater));
        m_app->settings().iconViewMode().reset();
        m_app->settings().emulateLowResolution().reset();
    }

    void cleanup() { m_app.reset(); }

    void menuTree_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<bool>("enabled");

        const QKeySequence none;
        QTest::newRow("new window") << u"File/New Window"_s << QKeySequence(u"Ctrl+N"_s) << true;
        QTest::newRow("import") << u"File/Import/rAvivovode…"_s << QKeySequence(u"Ctrl+Alt+C"_s) << true;
        QTest::newRow("export rAvivovode") << u"File/Export/rAvivovode…"_s << none << false;
        QTest::newRow("export icons") << u"File/Export/Icons…"_s << none << false;
        QTest::newRow("close window") << u"File/Close Window"_s << QKeySequence(u"Ctrl+W"_s) << true;
        QTest::newRow("quit") << u"File/Quit"_s << QKeySequence(u"Ctrl+Q"_s) << true;
        QTest::newRow("deselect all") << u"Edit/Deselect All"_s << QKeySequence(u"Ctrl+D"_s) << true;
        QTest::newRow("settings") << u"Edit/Settings…"_s << QKeySequence(u"Ctrl+,"_s) << true;
        QTest::newRow("sidebar") << u"View/Hide Sidebar"_s << QKeySequence(u"F9"_s) << true;
        QTest::newRow("grid") << u"View/as Grid"_s << QKeySequence(u"Ctrl+1"_s) << true;
        QTest::newRow("list") << u"View/as List"_s << QKeySequence(u"Ctrl+2"_s) << true;
        QTest::newRow("gallery") << u"View/as Gallery"_s << QKeySequence(u"Ctrl+3"_s) << true;
        QTest::newRow("emulation") << u"View/Emulate Low-Resolution"_s << none << true;
        QTest::newRow("view options") << u"View/View Options"_s << QKeySequence(u"Ctrl+J"_s) << true;
        // The fake updater cannot check until told otherwise.
        QTest::newRow("check for updates") << u"Edit/Check for Updates…"_s << none << false;
    }

    void menuTree()
    {
        QFETCH(QString, path);
        QFETCH(QKeySequence, shortcut);
        QFETCH(bool, enabled);

        ContentView *window = m_app->openMainWindow();
        QAction *action = findAction(window, path);
        QVERIFY2(action, qPrintable(path));
        QCOMPARE(action->shortcut(), shortcut);
        QCOMPARE(action->isEnabled(), enabled);
    }

    // Every item of the File menu is reached by its own letter; the update command follows the
    // application's settings item and there is no menu of its own for it.
    void mnemonicsAndPlacement()
    {
        ContentView *window = m_app->openMainWindow();
        QStringList menus;
        for (QAction *menu : window->menuBar()->actions())
            menus.append(menu->text());
        QCOMPARE(menus, (QStringList { u"&File"_s, u"&Edit"_s, u"&View"_s }));

        QSet<QChar> letters;
        for (QAction *item : findAction(window, u"File"_s)->menu()->actions()) {
            if (item->isSeparator())
                continue;
            const qsizetype marker = item->text().indexOf(u'&');
            QVERIFY2(marker >= 0 && marker + 1 < item->text().size(), qPrintable(item->text()));
            const QChar letter = item->text().at(marker + 1).toLower();
            QVERIFY2(!letters.contains(letter), qPrintable(item->text()));
            letters.insert(letter);
        }
        QCOMPARE(letters.size(), 5);

        const QList<QAction *> edit = findAction(window, u"Edit"_s)->menu()->actions();
        const qsizetype settings = edit.indexOf(findAction(window, u"Edit/Settings…"_s));
        QVERIFY(settings >= 0 && settings + 1 < edit.size());
        QCOMPARE(edit.at(settings + 1), findAction(window, u"Edit/Check for Updates…"_s));
    }

    void startsWithUpdaterStartedAndGeneralTab()
    {
        QCOMPARE(m_updater->starts, 1);
        QCOMPARE(m_app->selectedSettingsTab(), SettingsTab::general);
        QVERIFY(m_app->mainWindows().isEmpty());
    }

    void viewModeItemsStoreAndFollowTheKey()
    {
        ContentView *first = m_app->openMainWindow();
        ContentView *second = m_app->openMainWindow();
        QVERIFY(findAction(first, u"View/as Grid"_s)->isChecked());

        findAction(first, u"View/as List"_s)->trigger();
        QCOMPARE(m_app->settings().iconViewMode().read(), IconViewMode::list);
        QVERIFY(!findAction(first, u"View/as Grid"_s)->isChecked());
        QVERIFY(findAction(second, u"View/as List"_s)->isChecked());

        // A change made elsewhere (the toolbar, View Options) moves the check mark.
        m_app->settings().iconViewMode().write(IconViewMode::gallery);
        for (ContentView *window : { first, second }) {
            QVERIFY(findAction(window, u"View/as Gallery"_s)->isChecked());
            QVERIFY(!findAction(window, u"View/as List"_s)->isChecked());
        }
    }

    void viewModeShortcut()
    {
        ContentView *window = m_app->openMainWindow();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(m_app->settings().iconViewMode().read(), IconViewMode::list);
        QVERIFY(findAction(window, u"View/as List"_s)->isChecked());
    }

    void emulationFollowsItsKey()
    {
        ContentView *window = m_app->openMainWindow();
        QAction *emulation = findAction(window, u"View/Emulate Low-Resolution"_s);
        QVERIFY(emulation->isCheckable());
        QVERIFY(!emulation->isChecked());

        emulation->trigger();
        QCOMPARE(m_app->settings().emulateLowResolution().read(), true);
        QCOMPARE(QSettings(u"Glimbar"_s, u"Glimbar"_s).value(u"emulateLowResoltion"_s).toBool(), true);
        QVERIFY(emulation->isChecked());

        m_app->settings().emulateLowResolution().write(false);
        QVERIFY(!emulation->isChecked());
    }

    void exportItemsFollowTheirOwnWindow()
    {
        ContentView *first = m_app->openMainWindow();
        ContentView *second = m_app->openMainWindow();
        const auto exportEnabled = [](ContentView *window) {
            return findAction(window, u"File/Export/rAvivovode…"_s)->isEnabled()
                && findAction(window, u"File/Export/Icons…"_s)->isEnabled();
        };
        const QUuid a = QUuid::createUuid();
        const QUuid b = QUuid::createUuid();

        first->setContainerSelection({ a });
        QVERIFY(exportEnabled(first));
        QVERIFY(!exportEnabled(second));

        // The window whose selection changed last does not steer the other's menu.
        second->setContainerSelection({ a, b });
        QVERIFY(exportEnabled(first));
        QVERIFY(!exportEnabled(second));

        first->setContainerSelection({});
        second->setContainerSelection({ b });
        QVERIFY(!exportEnabled(first));
        QVERIFY(exportEnabled(second));
    }

    // The menu bar, the toolbar and the sidebar show the window's one action for each command, so
    // no key sequence is claimed twice (Qt would then run neither).
    void eachCommandIsOneAction()
    {
        ContentView *window = m_app->openMainWindow();
        QHash<QKeySequence, QList<QAction *>> byShortcut;
        for (QAction *action : window->findChildren<QAction *>()) {
            for (const QKeySequence &keys : action->shortcuts())
                byShortcut[keys].append(action);
        }
        QVERIFY(byShortcut.contains(QKeySequence(u"Ctrl+Alt+C"_s)));
        for (auto it = byShortcut.cbegin(); it != byShortcut.cend(); ++it)
            QVERIFY2(it.value().size() == 1, qPrintable(it.key().toString()));

        const auto *toolbar = window->findChild<QToolBar *>(u"viewToolbar"_s);
        QVERIFY(toolbar);
        const QList<QAction *> toolbarModes = toolbar->actions().mid(0, 3);
        QCOMPARE(toolbarModes,
            (QList<QAction *> { findAction(window, u"View/as Grid"_s), findAction(window, u"View/as List"_s),
                findAction(window, u"View/as Gallery"_s) }));
        QCOMPARE(toolbarModes.at(1)->toolTip(), u"List"_s);

        const QList<QAction *> more = window->splitView()->sidebar()->moreMenu()->actions();
        QCOMPARE(more.size(), 2);
        QCOMPARE(more.at(0)->menu()->actions(), findAction(window, u"File/Import"_s)->menu()->actions());
        QCOMPARE(more.at(1)->menu()->actions(), findAction(window, u"File/Export"_s)->menu()->actions());
        QCOMPARE(more.at(1)->menu()->actions().size(), 2);
    }

    void deselectAllReachesEveryWindow()
    {
        ContentView *first = m_app->openMainWindow();
        ContentView *second = m_app->openMainWindow();
        first->setContainerSelection({ QUuid::createUuid() });
        second->setContainerSelection({ QUuid::createUuid(), QUuid::createUuid() });

        findAction(first, u"Edit/Deselect All"_s)->trigger();
        QVERIFY(first->containerSelection().isEmpty());
        QVERIFY(second->containerSelection().isEmpty());
        QVERIFY(!findAction(first, u"File/Export/Icons…"_s)->isEnabled());
    }

    void fileCommandsActInTheirOwnWindowOnly_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("import") << u"File/Import/rAvivovode…"_s;
        QTest::newRow("export rAvivovode") << u"File/Export/rAvivovode…"_s;
        QTest::newRow("export icons") << u"File/Export/Icons…"_s;
    }

    void fileCommandsActInTheirOwnWindowOnly()
    {
        QFETCH(QString, path);
        IconContainer container;
        container.title = u"Shared"_s;
        container.icons = { Icon { .id = QUuid::createUuid(),
            .containerID = container.id,
            .name = u"Star"_s,
            .type = IconFileType::image,
            .imageData = QByteArray("png") } };
        m_app->library().setContainers({ container });
        ContentView *first = m_app->openMainWindow();
        ContentView *second = m_app->openMainWindow();
        first->setContainerSelection({ container.id });
        second->setContainerSelection({ container.id });
        // The file dialogs are answered by fakes that count how often each window asks.
        QHash<ContentView *, int> asked;
        for (ContentView *window : { first, second }) {
            window->containerImporter().setFilePicker([&asked, window](QWidget *) {
                ++asked[window];
                return QList<QUrl>();
            });
            window->iconExporter().setFolderPicker([&asked, window](QWidget *) {
                ++asked[window];
                return QString();
            });
        }
        const auto opened
            = [&asked](ContentView *window) { return asked.value(window) + (window->exporter() ? 1 : 0); };

        findAction(second, path)->trigger();
        QCOMPARE(opened(first), 0);
        QCOMPARE(opened(second), 1);
        if (second->exporter()) {
            // Asking again while the sheet is open gives the same one, never a second.
            QDialog *sheet = second->exporter();
            findAction(second, path)->trigger();
            QCOMPARE(second->exporter(), sheet);
            sheet->close();
        }
    }

    void checkForUpdatesFollowsTheUpdater()
    {
        ContentView *window = m_app->openMainWindow();
        QAction *check = findAction(window, u"Edit/Check for Updates…"_s);
        QVERIFY(!check->isEnabled());
        m_updater->setCanCheck(true);
        QVERIFY(check->isEnabled());
        check->trigger();
        QCOMPARE(m_updater->checks, 1);
        m_updater->setCanCheck(false);
        QVERIFY(!check->isEnabled());

        // An updater that can already check shows the item enabled from the start.
        m_updater->setCanCheck(true);
        QVERIFY(findAction(m_app->openMainWindow(), u"Edit/Check for Updates…"_s)->isEnabled());
    }

    void windowCommands()
    {
        ContentView *window = m_app->openMainWindow();
        findAction(window, u"File/New Window"_s)->trigger();
        QCOMPARE(m_app->mainWindows().size(), 2);

        for (const QString &path : { u"Edit/Settings…"_s, u"View/View Options"_s }) {
            findAction(window, path)->trigger();
            QWidget *single = path.startsWith(u"Edit"_s) ? m_app->settingsWindow() : m_app->viewOptionsWindow();
            QVERIFY(single && single->isVisible());
            single->close();
            findAction(m_app->mainWindows().last(), path)->trigger();
            QCOMPARE(path.startsWith(u"Edit"_s) ? m_app->settingsWindow() : m_app->viewOptionsWindow(), single);
            QVERIFY(single->isVisible());
        }
        QCOMPARE(m_app->viewOptionsWindow()->windowTitle(), u"View Options"_s);

        QAction *sidebar = findAction(window, u"View/Hide Sidebar"_s);
        sidebar->trigger();
        QVERIFY(!window->isSidebarVisible());
        QCOMPARE(sidebar->text(), u"Show Sidebar"_s);
    }

    void settingsWindowsCloseByKeys_data()
    {
        QTest::addColumn<bool>("settings");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("settings, Escape") << true << QKeySequence(Qt::Key_Escape);
        QTest::newRow("settings, Ctrl+W") << true << QKeySequence(u"Ctrl+W"_s);
        QTest::newRow("view options, Escape") << false << QKeySequence(Qt::Key_Escape);
        QTest::newRow("view options, Ctrl+W") << false << QKeySequence(u"Ctrl+W"_s);
    }

    void settingsWindowsCloseByKeys()
    {
        QFETCH(bool, settings);
        QFETCH(QKeySequence, keys);
        ContentView *main = m_app->openMainWindow();
        settings ? m_app->showSettings() : m_app->showViewOptions();
        QWidget *window = settings ? m_app->settingsWindow() : m_app->viewOptionsWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        // Keys go to whatever has the focus inside, as a user's would.
        QWidget *target = window->focusWidget() ? window->focusWidget() : window;
        QTest::keySequence(target, keys);
        QTRY_VERIFY(!window->isVisible());
        QVERIFY(main->isVisible());
    }

    void lastMainWindowClosingEndsTheRun()
    {
        QSignalSpy ended(m_app.get(), &GlimbarApp::lastMainWindowClosed);
        ContentView *first = m_app->openMainWindow();
        ContentView *second = m_app->openMainWindow();
        m_app->showSettings();
        first->close();
        QTRY_COMPARE(m_app->mainWindows().size(), 1);
        QCOMPARE(ended.size(), 0);
        second->close();
        QTRY_COMPARE(ended.size(), 1);
    }

private:
    QTemporaryDir m_settingsDir;
    std::unique_ptr<GlimbarApp> m_app;
    FakeUpdater *m_updater = nullptr;
};

QTEST_MAIN(TestMainCommands)
#include "tst_maincommands.moc"
