// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include "app/glimbarapp.h"
#include "app/instancechannel.h"
#include "app/instancelock.h"
#include "mainwindow/contentview.h"
#include "platform/desktop/launchargument.h"
#include "platform/files/applicationfolder.h"
#include "platform/text/standardoutput.h"
#include "platform/text/translationcontext.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <csignal>
#include <cstring>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr TranslationContext tr { "Application" };

// The options answered in the terminal, before any display is opened; the exit code when one was
// given. Every other argument is a link or a file, as before.
std::optional<int> answerOptions(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printLine(tr("Usage: glimbar [LINK | FILE]…\n"
                         "Keeps icon collections and applies their icons to files and folders.\n"
                         "\n"
                         "Each FILE, an rAvivovode archive, is imported into the library; each LINK of the\n"
                         "form %1://… is downloaded. When Glimbar already runs, that instance does both.\n"
                         "\n"
                         "  -h, --help     show this help and exit\n"
                         "      --version  show the version and exit")
                          .arg(LaunchArgument::urlScheme()));
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            printLine(u"glimbar "_s + QStringLiteral(GLIMBAR_VERSION));
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace

int runGlimbar(int argc, char **argv)
{
    if (const std::optional<int> answered = answerOptions(argc, argv))
        return *answered;
    // Read before the application starts: Qt's X11 plugin takes the startup id out of the environment.
    const QByteArray startupId = qgetenv("DESKTOP_STARTUP_ID");
    const QByteArray waylandToken = qgetenv("XDG_ACTIVATION_TOKEN");

    // Past a file-size limit a write then fails with "File too large", reported like a full disk,
    // instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);

    Q_INIT_RESOURCE(ui);
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationFolder::name());
    QApplication::setOrganizationName(ApplicationFolder::name());
    QApplication::setApplicationVersion(QStringLiteral(GLIMBAR_VERSION));
    QApplication::setDesktopFileName(u"glimbar"_s);
    QApplication::setWindowIcon(QIcon::fromTheme(u"glimbar"_s, QIcon(u":/images/glimbar.svg"_s)));

    const QStringList arguments = launchArguments(QApplication::arguments(), QDir::currentPath());
    const bool wayland = QGuiApplication::platformName().startsWith("wayland"_L1);
    // Held until the process ends, after the channel below has closed.
    InstanceLock lock;
    if (InstanceChannel::handOverOrAcquire(arguments, wayland ? waylandToken : startupId, lock))
        return 0;

    InstanceChannel channel;
    channel.listen();
    GlimbarApp glimbar;
    QObject::connect(&channel, &InstanceChannel::argumentsReceived, &glimbar, &GlimbarApp::openLaunch);
    glimbar.openMainWindow();
    glimbar.openArguments(arguments);
    return QApplication::exec();
}
