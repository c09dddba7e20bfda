// SPDX-License-Identifier: GPL-3.0-or-later
// An icon grid with two icons, "Picture" (a PNG larger than one X request piece) and "Emblem" (an
// ICNS file), for tst_gtkdropdisplayserver to drag from in a real display server. Settings go to
// a folder of its own. Once shown it prints, for each icon,
//   icon <name> <global x> <global y> <byte count> <SHA-256 of its bytes in hex>
// then "ready". The line "folder" or "image" sets the drag-out form and answers "form <word>";
// "quit", the end of its input or ten minutes end it.

#include "collections/iconcollectiongrid.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "support/appservices.h"
#include "support/icnsbuilder.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Noise does not compress: the PNG exceeds the size that goes in one piece.
QImage noise(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    QRandomGenerator generator(7);
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = generator.generate() | 0xff000000u;
    }
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    AppServices services;
    services.settings.iconPreviewSize().write(64);
    services.settings.defaultDragAndDropFormat().write(DragAndDropIconFormat::folder);

    IconContainer container { .title = u"Drag"_s };
    container.icons.append(Icon { .id = QUuid::createUuid(),
        .containerID = container.id,
        .name = u"Picture"_s,
        .type = IconFileType::image,
        .imageData = IcnsBuilder::png(noise(400)) });
    const QByteArray icns
        = IcnsBuilder().add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(128, 128, QColor(200, 60, 40)))).build();
    container.icons.append(Icon { .id = QUuid::createUuid(),
        .containerID = container.id,
        .name = u"Emblem"_s,
        .type = IconFileType::icns,
        .icnsData = icns });
    ContainerManager &manager = services.library;
    manager.setContainers({ container });

    IconSelectionManager selection;
    IconCollectionGrid grid(IconCollectionInputs { .manager = manager,
        .provider = services.thumbnails,
        .iconSetter = services.iconSetter,
        .settings = services.settings,
        .iconSelection = selection,
        .containerSelection = { container.id } });
    grid.setWindowTitle(u"Drag Source"_s);
    grid.resize(400, 300);
    grid.move(700, 100);
    grid.show();

    QTimer::singleShot(500, &grid, [&grid, &container] {
        for (const Icon &icon : std::as_const(container.icons)) {
            const QPoint centre = grid.mapToGlobal(grid.visualRect(icon.id).center());
            const QByteArray bytes = icon.primaryData();
            std::printf("icon %s %d %d %lld %s\n", qPrintable(icon.name), centre.x(), centre.y(),
                qlonglong(bytes.size()),
                QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().constData());
        }
        std::printf("ready\n");
        std::fflush(stdout);
    });

    QFile input;
    input.open(STDIN_FILENO, QIODevice::ReadOnly);
    QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&commands, &QSocketNotifier::activated, &app, [&input, &commands, &services] {
        const QByteArray line = input.readLine().trimmed();
        if (line == "folder" || line == "image") {
            services.settings.defaultDragAndDropFormat().write(
                line == "folder" ? DragAndDropIconFormat::folder : DragAndDropIconFormat::image);
            std::printf("form %s\n", line.constData());
            std::fflush(stdout);
        } else if (line == "quit" || input.atEnd()) {
            commands.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    QTimer::singleShot(600'000, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
