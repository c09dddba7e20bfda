// SPDX-License-Identifier: GPL-3.0-or-later
// An icon grid of two containers, "Shapes" (Circle, Square, Star) and "Marks" (Check, Cross), with
// Square selected and current and the keyboard focus in the grid, for tst_accessibilitydisplayserver
// to read through the accessibility bus in a real display server. Settings go to a folder of its
// own. Once shown it prints "ready"; "quit", the end of its input or ten minutes end it.

#include "collections/iconcollectiongrid.h"
#include "iconfixture.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "support/appservices.h"

#include <QApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    AppServices services;
    services.settings.iconPreviewSize().write(64);

    const IconContainer shapes = IconFixture::container(u"Shapes"_s, { u"Circle"_s, u"Square"_s, u"Star"_s });
    const IconContainer marks = IconFixture::container(u"Marks"_s, { u"Check"_s, u"Cross"_s });
    ContainerManager &manager = services.library;
    manager.setContainers({ shapes, marks });

    IconSelectionManager selection;
    IconCollectionGrid grid(IconCollectionInputs { .manager = manager,
        .provider = services.thumbnails,
        .iconSetter = services.iconSetter,
        .settings = services.settings,
        .iconSelection = selection,
        .containerSelection = { shapes.id, marks.id } });
    grid.setWindowTitle(u"Accessible Grid"_s);
    grid.resize(500, 400);
    grid.move(100, 100);
    grid.show();
    grid.activateWindow();
    grid.setFocus();
    grid.setCurrentTile({ 0, 1 });
    IconSelection square;
    square.insert(shapes.icons.at(1).id);
    selection.setSelection(square);

    QTimer::singleShot(500, &grid, [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });

    QFile input;
    input.open(STDIN_FILENO, QIODevice::ReadOnly);
    QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&commands, &QSocketNotifier::activated, &app, [&input, &commands] {
        const QByteArray line = input.readLine().trimmed();
        if (line == "quit" || input.atEnd()) {
            commands.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    QTimer::singleShot(600'000, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
