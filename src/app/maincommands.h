// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class CommandManager;
class ContentView;
class QAction;
class QMenu;
class Settings;
class Updater;

// The menu bar of one main window. Its items act only by sending on the command channels (naming
// this window where a channel asks for one), by writing settings, by asking the updater to check,
// and, for the window commands, through the request signals that the application object answers.
//
// The commands that also stand in the toolbar or the sidebar (the view modes, Import, Export, the
// sidebar toggle) are the window's own actions (WindowActions), shown here as they are.
//
// Guarantees: "Emulate Low-Resolution" shows its key's current value and follows every change made
// elsewhere; "Check for Updates…" is enabled exactly while the updater can check.
class MainCommands : public QObject
{
    Q_OBJECT

public:
    MainCommands(CommandManager &commandManager, Updater &updater, Settings &settings, ContentView &window);

Q_SIGNALS:
    void newWindowRequested();
    void settingsRequested();
    void viewOptionsRequested();
    void quitRequested();

private:
    void buildFileMenu(QMenu *menu);
    void buildEditMenu(QMenu *menu);
    void buildViewMenu(QMenu *menu);

    CommandManager &m_commandManager;
    Updater &m_updater;
    Settings &m_settings;
    ContentView &m_window;
};
