// SPDX-License-Identifier: GPL-3.0-or-later
// A window holding the preview-size stepper alone, for tst_stepperdisplayserver to drive in a real
// display server. Settings go to the folder named by GLIMBAR_SETTINGS_DIR. Once shown it prints
//   ready <DISPLAY> <XAUTHORITY> <x> <y>
// with the global centre of the stepper's number; on the line "state" it prints
//   state <override cursor shape, or none> <dragging 0 or 1>
// and on "quit" (or after a minute) it exits.

#include "collections/iconpreviewsizestepper.h"
#include "library/settings.h"
#include "platform/settings/settingsstore.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char **argv)
{
    const QString settingsDir = qEnvironmentVariable("GLIMBAR_SETTINGS_DIR");
    if (!settingsDir.isEmpty())
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir);

    QApplication app(argc, argv);
    SettingsStore store;
    const Settings settings(store);
    QWidget window;
    window.setWindowTitle(u"Icon Preview Size"_s);
    auto *layout = new QHBoxLayout(&window);
    auto *stepper = new IconPreviewSizeStepper(settings, &window);
    layout->addWidget(stepper);
    window.move(100, 100);
    window.show();
    window.activateWindow();

    QTimer::singleShot(500, &window, [stepper] {
        const QLabel *number = stepper->findChild<QLabel *>();
        const QPoint centre = number->mapToGlobal(number->rect().center());
        std::printf("ready %s %s %d %d\n", qgetenv("DISPLAY").constData(), qgetenv("XAUTHORITY").constData(),
            centre.x(), centre.y());
        std::fflush(stdout);
    });

    QFile input;
    input.open(STDIN_FILENO, QIODevice::ReadOnly);
    QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&commands, &QSocketNotifier::activated, &app, [&input, &commands, stepper] {
        const QByteArray line = input.readLine().trimmed();
        if (line == "state") {
            const QCursor *cursor = QGuiApplication::overrideCursor();
            std::printf("state %s %d\n", cursor ? QByteArray::number(cursor->shape()).constData() : "none",
                stepper->isDragging() ? 1 : 0);
            std::fflush(stdout);
        } else if (line == "quit" || input.atEnd()) {
            commands.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    QTimer::singleShot(60'000, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
