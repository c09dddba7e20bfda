// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include "app/glimbarapp.h"
#include "app/instancechannel.h"
#include "app/launchargument.h"
#include "mainwindow/contentview.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

using namespace Qt::Literals::StringLiterals;

int runGlimbar(int argc, char **argv)
{
    Q_INIT_RESOURCE(ui);
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Glimbar"_s);
    QApplication::setOrganizationName(u"Glimbar"_s);
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
