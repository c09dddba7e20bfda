// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/maincommands.h"

#include "library/settings.h"
#include "mainwindow/commandmanager.h"
#include "mainwindow/contentview.h"
#include "mainwindow/windowactions.h"
#include "platform/net/updater.h"
#include "settings/appupdatesview.h"

#include <QActionGroup>
#include <QMenuBar>

MainCommands::MainCommands(CommandManager &commandManager, Updater &updater, Settings &settings, ContentView &window)
    : QObject(&window)
    , m_commandManager(commandManager)
    , m_updater(updater)
    , m_settings(settings)
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

    const WindowActions &actions = m_window.actions();
    menu->addMenu(tr("&Import"))->addActions(actions.importActions());
    menu->addMenu(tr("&Export"))->addActions(actions.exportActions());

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
    const WindowActions &actions = m_window.actions();
    menu->addAction(actions.toggleSidebar());
    menu->addSeparator();
    // The "View Icons" choice, inline: its items stand directly in the menu.
    menu->addActions(actions.viewModes()->actions());
    menu->addSeparator();

    QAction *emulation = menu->addAction(tr("Emulate Low-Resolution"));
    emulation->setCheckable(true);
    emulation->setChecked(m_settings.emulateLowResolution().read());
    connect(emulation, &QAction::triggered, this, [this](bool on) { m_settings.emulateLowResolution().write(on); });
    connect(m_settings.emulateLowResolution().notifier(), &SettingsKeyNotifier::changed, emulation,
        [this, emulation] { emulation->setChecked(m_settings.emulateLowResolution().read()); });
    menu->addSeparator();

    QAction *viewOptions = menu->addAction(tr("View Options"));
    viewOptions->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    connect(viewOptions, &QAction::triggered, this, &MainCommands::viewOptionsRequested);
}
