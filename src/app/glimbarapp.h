// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/settings.h"
#include "mainwindow/commandmanager.h"
#include "model/optionenums.h"
#include "platform/net/updater.h"
#include "platform/settings/settingsstore.h"
#include "platform/ui/updatealert.h"
#include "widgets/motionpolicy.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>

class ContainerManager;
class ContentView;
class FileIconSetter;
class QWidget;
class ThumbnailProvider;

// The application object: makes, in this order, the settings store and the settings over it, the
// library (ContainerManager), the thumbnail provider and the file icon setter, which it hands to
// every main window, then the one CommandManager, the selected settings tab (General at every
// launch, never stored) and the updater, which keeps its settings in the same store and which it
// starts at once, before any window exists. It opens main windows (each with
// its own menu bar), keeps the settings window and the "View Options" window single, and quits when
// its last main window closes. Nothing is saved at quit but the main windows' geometry.
class GlimbarApp : public QObject
{
    Q_OBJECT

public:
    // Without an updater, the release-feed updater is made; tests hand in their own. The settings
    // file is the user's, or the one QStandardPaths' test mode or QSettings::setPath() points to.
    explicit GlimbarApp(std::unique_ptr<Updater> updater = nullptr, QObject *parent = nullptr);
    ~GlimbarApp() override;

    Settings &settings() { return m_settings; }
    ContainerManager &library() const { return *m_library; }
    ThumbnailProvider &thumbnails() const { return *m_thumbnails; }
    const std::shared_ptr<FileIconSetter> &iconSetter() const { return m_iconSetter; }
    CommandManager &commandManager() const { return *m_commandManager; }
    SettingsTab &selectedSettingsTab() { return m_selectedSettingsTab; }
    Updater &updater() const { return *m_updater; }

    // Makes a main window and shows it.
    ContentView *openMainWindow();
    QList<ContentView *> mainWindows() const;
    // The active main window, else the one made last; opens one when there is none.
    ContentView *activeMainWindow();
    // Hands each argument (a link or a file) to the active main window and raises it.
    void openArguments(const QStringList &arguments, const QByteArray &activationToken = {});
    // What a later launch asks for: its arguments, or a window of its own when it has none. The
    // window is raised for the launch, whose startup notification `activationToken` ends.
    void openLaunch(const QStringList &arguments, const QByteArray &activationToken);

    // Shown and raised; made on first use and kept for the run.
    // Over `opener`, the main window the command came from (the last one opened when null).
    void showSettings(QWidget *opener = nullptr);
    // Kept above `opener` (the last main window opened when null).
    void showViewOptions(QWidget *opener = nullptr);
    QWidget *settingsWindow() const { return m_settingsWindow.get(); }
    QWidget *viewOptionsWindow() const { return m_viewOptionsWindow.get(); }

Q_SIGNALS:
    void lastMainWindowClosed();

private:
    void mainWindowDestroyed(QObject *window);

    // Destroyed last, so everything else has written its settings before the file is.
    SettingsStore m_settingsStore;
    Settings m_settings { m_settingsStore };
    std::unique_ptr<ContainerManager> m_library;
    std::unique_ptr<ThumbnailProvider> m_thumbnails;
    // Shared with the icon folders and drops still being made on worker threads.
    std::shared_ptr<FileIconSetter> m_iconSetter;
    std::unique_ptr<CommandManager> m_commandManager;
    SettingsTab m_selectedSettingsTab = SettingsTab::general;
    std::unique_ptr<Updater> m_updater;
    std::unique_ptr<UpdateAlert> m_updateAlert;
    // What the desktop asks of animations, read once.
    MotionPolicy m_motion = MotionPolicy::fromDesktop();
    // As QObject: a window leaves the list from its destroyed() signal, when it is no longer a
    // ContentView.
    QList<QObject *> m_mainWindows;
    QWidget *lastMainWindow() const;

    std::unique_ptr<QWidget> m_settingsWindow;
    std::unique_ptr<QWidget> m_viewOptionsWindow;
};
