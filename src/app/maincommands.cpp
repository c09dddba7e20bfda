// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/maincommands.h"

#include "library/settings.h"
#include "mainwindow/commandmanager.h"
#include "mainwindow/contentview.h"
#include "platform/updater.h"
#include "settings/appupdatesview.h"

#include <QActionGroup>
#include <QMenuBar>

MainCommands::MainCommands(CommandManager &commandManager, Updater &updater, ContentView &window)
    : QObject(&window)
    , m_commandManager(commandManager)
    , m_updater(updater)
    , m_window(window)
{
    QMenuBar *bar = window.menuBar();
    buildFileMenu(bar->addMenu(tr("&File")));
    buildEditMenu(bar->addMenu(tr("&Edit")));
    buildViewMenu(bar->addMenu(tr("&View")));
}

void MainCommands::buildFileMenu(QMenu *menu)
{
    QAction *newWindow = menu->addAction(tr("&New Window"));
    newWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(newWindow, &QAction::triggered, this, &MainCommands::newWindowRequested);
    menu->addSeparator();

    QMenu *importMenu = menu->addMenu(tr("&Import"));
    for (const ImportFormat format : allCases<ImportFormat>()) {
        // Every import format shows the same text.
        QAction *item = importMenu->addAction(tr("rAvivovode…"));
        item->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C));
        connect(item, &QAction::triggered, this,
            [this, format] { Q_EMIT m_commandManager.presentImporter(format, &m_window); });
    }

    QMenu *exportMenu = menu->addMenu(tr("&Export"));
    QList<QAction *> exportItems;
    for (const ExportFormat format : allCases<ExportFormat>()) {
        QAction *item = exportMenu->addAction(title(format));
        item->setEnabled(false);
        connect(item, &QAction::triggered, this,
            [this, format] { Q_EMIT m_commandManager.presentExporter(format, &m_window); });
        exportItems.append(item);
    }
    // Only this window's selection decides, so two windows never steer each other's menus.
    connect(&m_commandManager, &CommandManager::exporterDisabled, this,
        [this, exportItems](bool disabled, const QObject *window) {
            if (window != &m_window)
                return;
            for (QAction *item : exportItems)
                item->setEnabled(!disabled);
        });

    menu->addSeparator();
    QAction *close = menu->addAction(tr("&Close Window"));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(close, &QAction::triggered, &m_window, &QWidget::close);
    QAction *quit = menu->addAction(tr("&Quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &MainCommands::quitRequested);
}

void MainCommands::buildEditMenu(QMenu *menu)
{
    QAction *deselectAll = menu->addAction(tr("Deselect All"));
    deselectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(deselectAll, &QAction::triggered, &m_commandManager, &CommandManager::deselectAll);
    menu->addSeparator();
    QAction *settings = menu->addAction(tr("Settings…"));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settings->setMenuRole(QAction::PreferencesRole);
    connect(settings, &QAction::triggered, this, &MainCommands::settingsRequested);
    // The update command follows the application's settings item.
    menu->addAction(new AppUpdatesView(m_updater, menu));
}

void MainCommands::buildViewMenu(QMenu *menu)
{
    QAction *sidebar = menu->addAction(QString());
    sidebar->setShortcut(QKeySequence(Qt::Key_F9));
    const auto showSidebarState
        = [sidebar](bool visible) { sidebar->setText(visible ? tr("Hide Sidebar") : tr("Show Sidebar")); };
    showSidebarState(m_window.isSidebarVisible());
    connect(
        sidebar, &QAction::triggered, &m_window, [this] { m_window.setSidebarVisible(!m_window.isSidebarVisible()); });
    connect(&m_window, &ContentView::sidebarVisibleChanged, sidebar, showSidebarState);
    menu->addSeparator();

    // The "View Icons" choice, inline: its items stand directly in the menu.
    auto *viewModes = new QActionGroup(menu);
    viewModes->setExclusive(true);
    QList<std::pair<IconViewMode, QAction *>> modeItems;
    for (const IconViewMode mode : allCases<IconViewMode>()) {
        QAction *item
            = menu->addAction(tr("as %1", "Icon view mode options in the View menu of the menu bar").arg(title(mode)));
        item->setCheckable(true);
        item->setShortcut(keyboardShortcut(mode));
        viewModes->addAction(item);
        connect(item, &QAction::triggered, this, [mode] { Settings::iconViewMode().write(mode); });
        modeItems.append({ mode, item });
    }
    const auto showViewMode = [modeItems] {
        const IconViewMode current = Settings::iconViewMode().read();
        for (const auto &[mode, item] : modeItems)
            item->setChecked(mode == current);
    };
    showViewMode();
    connect(Settings::iconViewMode().notifier(), &SettingsKeyNotifier::changed, menu, showViewMode);
    menu->addSeparator();

    QAction *emulation = menu->addAction(tr("Emulate Low-Resolution"));
    emulation->setCheckable(true);
    emulation->setChecked(Settings::emulateLowResolution().read());
    connect(emulation, &QAction::triggered, this, [](bool on) { Settings::emulateLowResolution().write(on); });
    connect(Settings::emulateLowResolution().notifier(), &SettingsKeyNotifier::changed, emulation,
        [emulation] { emulation->setChecked(Settings::emulateLowResolution().read()); });
    menu->addSeparator();

    QAction *viewOptions = menu->addAction(tr("View Options"));
    viewOptions->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    connect(viewOptions, &QAction::triggered, this, &MainCommands::viewOptionsRequested);
}
