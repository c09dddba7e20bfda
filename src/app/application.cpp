// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include "platform/applicationfolder.h"

#include <QApplication>
#include <QMainWindow>

std::unique_ptr<QMainWindow> createMainWindow()
{
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(QStringLiteral("Glimbar"));
    window->resize(960, 640);
    return window;
}

int runGlimbar(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationFolder::name());
    QApplication::setOrganizationName(ApplicationFolder::name());
    QApplication::setDesktopFileName(QStringLiteral("glimbar"));
    auto window = createMainWindow();
    window->show();
    return QApplication::exec();
}
