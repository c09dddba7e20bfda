// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/glimbarapp.h"
#include "widgets/windowplacement.h"

#include "app/maincommands.h"
#include "library/containermanager.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/commandmanager.h"
#include "mainwindow/contentview.h"
#include "platform/desktop/giofileiconsetter.h"
#include "platform/net/feedupdater.h"
#include "platform/ui/updatealert.h"
#include "platform/ui/windowactivation.h"
#include "settings/settingsview.h"
#include "settings/viewoptions.h"
#include "widgets/windowextensions.h"

#include <QApplication>

namespace {

void showAndRaise(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

GlimbarApp::GlimbarApp(std::unique_ptr<Updater> updater, QObject *parent)
    : QObject(parent)
    , m_library(std::make_unique<ContainerManager>())
    , m_thumbnails(std::make_unique<ThumbnailProvider>())
    , m_iconSetter(std::make_shared<GioFileIconSetter>())
    , m_commandManager(std::make_unique<CommandManager>())
    , m_updater(updater ? std::move(updater) : std::make_unique<FeedUpdater>(m_settingsStore))
    , m_updateAlert(std::make_unique<UpdateAlert>(*m_updater))
{
    // The settings and "View Options" windows do not keep the program running.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    m_updater->start();
}

GlimbarApp::~GlimbarApp()
{
    const QList<QObject *> windows = std::exchange(m_mainWindows, {});
    for (QObject *window : windows) {
        window->disconnect(this);
        delete window;
    }
}

ContentView *GlimbarApp::openMainWindow()
{
    auto *window = new ContentView(*m_commandManager, *m_library, *m_thumbnails, m_iconSetter, m_settings);
    window->setMotionPolicy(m_motion);
    auto *commands = new MainCommands(*m_commandManager, *m_updater, m_settings, *window);
    connect(commands, &MainCommands::newWindowRequested, this, &GlimbarApp::openMainWindow);
    connect(commands, &MainCommands::settingsRequested, window, [this, window] { showSettings(window); });
    connect(commands, &MainCommands::viewOptionsRequested, window, [this, window] { showViewOptions(window); });
    connect(commands, &MainCommands::quitRequested, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    connect(window, &QObject::destroyed, this, &GlimbarApp::mainWindowDestroyed);
    m_mainWindows.append(static_cast<QObject *>(window));
    window->show();
    return window;
}

QList<ContentView *> GlimbarApp::mainWindows() const
{
    QList<ContentView *> windows;
    for (QObject *window : m_mainWindows)
        windows.append(static_cast<ContentView *>(window));
    return windows;
}

ContentView *GlimbarApp::activeMainWindow()
{
    const QList<ContentView *> windows = mainWindows();
    for (ContentView *window : windows) {
        if (window->isActiveWindow())
            return window;
    }
    return windows.isEmpty() ? openMainWindow() : windows.last();
}

void GlimbarApp::openArguments(const QStringList &arguments, const QByteArray &activationToken)
{
    if (arguments.isEmpty())
        return;
    ContentView *window = activeMainWindow();
    for (const QString &argument : arguments)
        window->openArgument(argument);
    WindowActivation::activate(window, activationToken);
}

void GlimbarApp::openLaunch(const QStringList &arguments, const QByteArray &activationToken)
{
    if (!arguments.isEmpty()) {
        openArguments(arguments, activationToken);
        return;
    }
    WindowActivation::activate(openMainWindow(), activationToken);
}

void GlimbarApp::showSettings(QWidget *opener)
{
    if (!m_settingsWindow) {
        auto window = std::make_unique<SettingsView>(m_selectedSettingsTab, *m_updater, m_settings);
        customizeSettingsToolbar(window->tabBar());
        m_settingsWindow = std::move(window);
    }
    // Where the user looks: over the window the command came from, whole on its screen.
    if (!m_settingsWindow->isVisible())
        WindowPlacement::centreOver(m_settingsWindow.get(), opener ? opener : lastMainWindow());
    showAndRaise(m_settingsWindow.get());
}

void GlimbarApp::showViewOptions(QWidget *opener)
{
    if (!m_viewOptionsWindow)
        m_viewOptionsWindow = std::make_unique<ViewOptions>(m_settings);
    WindowPlacement::keepAbove(m_viewOptionsWindow.get(), opener ? opener : lastMainWindow());
    showAndRaise(m_viewOptionsWindow.get());
}

QWidget *GlimbarApp::lastMainWindow() const
{
    return m_mainWindows.isEmpty() ? nullptr : static_cast<ContentView *>(m_mainWindows.last());
}

void GlimbarApp::mainWindowDestroyed(QObject *window)
{
    m_mainWindows.removeAll(window);
    if (!m_mainWindows.isEmpty())
        return;
    Q_EMIT lastMainWindowClosed();
    QCoreApplication::quit();
}
