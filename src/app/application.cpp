// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include "app/glimbarapp.h"
#include "app/instancechannel.h"
#include "app/instancelock.h"
#include "mainwindow/contentview.h"
#include "platform/desktop/launchargument.h"
#include "platform/files/applicationfolder.h"
#include "platform/text/printabletext.h"
#include "platform/text/standardoutput.h"
#include "platform/text/translationcontext.h"
#include "widgets/focusreturn.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPixmap>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr TranslationContext tr { "Application" };

QString usage()
{
    return tr("Usage: glimbar [OPTION] [--] [LINK | FILE]…\n"
              "Keeps icon collections and applies their icons to files and folders.\n"
              "\n"
              "Each FILE, an rAvivovode archive, is imported into the library; each LINK is\n"
              "downloaded. When Glimbar already runs, that instance does both. A LINK is\n"
              "%1://download/ followed by an https address, with or without its \"https://\":\n"
              "  %1://download/example.org/packs/space.ravivovode\n"
              "  %1://download/https://example.org/packs/space.ravivovode\n"
              "\n"
              "  -h, --help     show this help and exit\n"
              "      --version  show the version and exit\n"
              "      --         end the options: what follows is a LINK or FILE, even \"-x\"")
        .arg(LaunchArgument::urlScheme());
}

// The options answered in the terminal, before any display is opened; the exit code when one was
// given. Every other argument is a link or a file, as before; "--" ends the options.
std::optional<int> answerOptions(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printLine(usage());
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            printLine(u"glimbar "_s + QStringLiteral(GLIMBAR_VERSION));
            return 0;
        }
    }
    return std::nullopt;
}

// Refused in the terminal, as command-line programs do: standard error and status 2.
int refuseOption(const QString &option)
{
    const QByteArray text
        = (tr("glimbar: unknown option “%1”").arg(printableText(option, 200)) + u'\n' + usage() + u'\n').toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    return 2;
}

// The icon drawn once at each size a window manager, task bar or switcher asks for. Left to
// itself, Qt's X11 plugin puts only the sizes the icon lists into the window, which for a scalable
// icon are one or two large ones that small panels then scale down badly.
QIcon windowIcon()
{
    const QIcon source = QIcon::fromTheme(u"glimbar"_s, QIcon(u":/images/glimbar.svg"_s));
    QIcon icon;
    for (const int side : { 16, 24, 32, 48, 64, 128, 256 }) {
        QPixmap pixmap = source.pixmap(QSize(side, side), 1.0);
        if (pixmap.size() != QSize(side, side))
            pixmap = pixmap.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

int runGlimbar(int argc, char **argv)
{
    if (const std::optional<int> answered = answerOptions(argc, argv))
        return *answered;
    QStringList commandLine;
    for (int i = 0; i < argc; ++i)
        commandLine.append(QString::fromLocal8Bit(argv[i]));
    if (const QString unknown = LaunchArgument::unknownOption(commandLine); !unknown.isEmpty())
        return refuseOption(unknown);
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
    QApplication::setWindowIcon(windowIcon());

    // Read once Qt has taken its own options out, and before anything is handed to a running
    // instance: an option Qt did not take must not be imported there as a file.
    QString unknownOption;
    const QStringList arguments = launchArguments(QApplication::arguments(), QDir::currentPath(), &unknownOption);
    if (!unknownOption.isEmpty())
        return refuseOption(unknownOption);
    const bool wayland = QGuiApplication::platformName().startsWith("wayland"_L1);
    // Held until the process ends, after the channel below has closed.
    InstanceLock lock;
    if (InstanceChannel::handOverOrAcquire(arguments, wayland ? waylandToken : startupId, lock))
        return 0;

    // Before any window: every dialog closed from now on gives the keyboard back.
    const FocusReturn focusReturn;
    InstanceChannel channel;
    channel.listen();
    GlimbarApp glimbar;
    QObject::connect(&channel, &InstanceChannel::argumentsReceived, &glimbar, &GlimbarApp::openLaunch);
    glimbar.openMainWindow();
    glimbar.openArguments(arguments);
    return QApplication::exec();
}
