// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include "app/glimbarapp.h"
#include "app/instancechannel.h"
#include "app/launchargument.h"
#include "mainwindow/contentview.h"
#include "platform/applicationfolder.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <csignal>

using namespace Qt::Literals::StringLiterals;

int runGlimbar(int argc, char **argv)
{
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
    if (InstanceChannel::handOver(arguments))
        return 0;

    InstanceChannel channel;
    channel.listen();
    GlimbarApp glimbar;
    // A launch without arguments asks for a window of its own.
    QObject::connect(&channel, &InstanceChannel::argumentsReceived, &glimbar, [&glimbar](const QStringList &received) {
        if (received.isEmpty())
            glimbar.openMainWindow();
        else
            glimbar.openArguments(received);
    });
    glimbar.openMainWindow();
    glimbar.openArguments(arguments);
    return QApplication::exec();
}
