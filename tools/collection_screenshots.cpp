// SPDX-License-Identifier: GPL-3.0-or-later
// Screenshots of the grid, gallery and list with a small fixture library (the sample collection
// with a colour, and a second collection drawn here), in light and dark, to look at by eye.
// Run under a real X server, for instance:
//   xvfb-run -s "-screen 0 1600x1000x24" build/dev/tools/collection_screenshots /tmp/shots
//   QT_SCALE_FACTOR=2 xvfb-run -s "-screen 0 3200x2000x24" build/dev/tools/collection_screenshots /tmp/shots2x

#include "support/icnsbuilder.h"

#include "collections/iconcollectiongallery.h"
#include "collections/iconcollectiongrid.h"
#include "collections/iconcollectionlist.h"
#include "collections/icondragmimedata.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "support/appservices.h"

#include <QApplication>
#include <QDir>
#include <QDragMoveEvent>
#include <QPainter>
#include <QScreen>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

QByteArray glyphIcns(int number)
{
    IcnsBuilder builder;
    const QList<QPair<QByteArray, int>> elements { { "icp4", 16 }, { "icp5", 32 }, { "icp6", 64 }, { "ic07", 128 },
        { "ic08", 256 }, { "ic09", 512 } };
    for (const auto &[type, side] : elements) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor::fromHsv((number * 47) % 360, 160, 230));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(side * 0.08, side * 0.08, side * 0.84, side * 0.84), side * 0.2, side * 0.2);
        painter.setPen(Qt::white);
        QFont font;
        font.setPixelSize(std::max(6, side / 2));
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRectF(0, 0, side, side), Qt::AlignCenter, QString(QChar(u'A' + number % 26)));
        painter.end();
        builder.add(type, IcnsBuilder::png(image));
    }
    return builder.build();
}

IconContainer glyphs()
{
    IconContainer container { .title = u"Letter *Glyphs*"_s, .authorName = u"Tarn Studio"_s };
    const QStringList names { u"Alpha"_s, u"Bravo"_s, u"Charlie"_s, u"Delta"_s, u"Echo with a rather long name"_s,
        u"Foxtrot"_s, u"Golf"_s, u"Hotel"_s, u"India"_s, u"Juliett"_s, u"Kilo"_s, u"Lima"_s };
    for (int i = 0; i < names.size(); ++i) {
        container.icons.append(Icon { .id = QUuid::createUuid(),
            .containerID = container.id,
            .name = names.at(i),
            .type = IconFileType::icns,
            .icnsData = glyphIcns(i) });
    }
    return container;
}

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(37, 37, 40));
    p.setColor(QPalette::WindowText, QColor(230, 230, 230));
    p.setColor(QPalette::Base, QColor(30, 30, 32));
    p.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    p.setColor(QPalette::Text, QColor(230, 230, 230));
    p.setColor(QPalette::Button, QColor(50, 50, 54));
    p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    p.setColor(QPalette::Mid, QColor(90, 90, 95));
    p.setColor(QPalette::Highlight, QColor(10, 110, 220));
    p.setColor(QPalette::HighlightedText, Qt::white);
    return p;
}

struct Scene
{
    QString name;
    std::function<void()> settings;
    std::function<QWidget *(QWidget *host)> make;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
    const QString output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(output);

    AppServices services;
    ContainerManager &manager = services.library;
    std::optional<IconContainer> sample
        = manager.importLegacyContainer(QStringLiteral(GLIMBAR_SAMPLES_DIR) + u"/Starter Shapes.ravivovode"_s);
    if (!sample) {
        std::fprintf(stderr, "cannot read the sample collection\n");
        return 1;
    }
    sample->backgroundColor = RGBAColor { 0.98, 0.86, 0.45, 1 };
    const IconContainer letters = glyphs();
    manager.setContainers({ *sample, letters });
    const QUuid shapes = sample->id;
    const QUuid glyphID = letters.id;
    IconSelectionManager selection;
    const auto select = [&selection, &manager](std::initializer_list<int> positions, int container = 0) {
        IconSelection chosen;
        for (const int p : positions)
            chosen.insert(manager.containers().at(container).icons.at(p).id);
        selection.setSelection(chosen);
    };

    const auto names = [&services](bool grid, bool gallery) {
        services.settings.showIconNamesInGrid().write(grid);
        services.settings.showIconNamesInGallery().write(gallery);
    };
    const auto inputs = [&services, &manager, &selection](QSet<QUuid> containers, QString search = {}) {
        return IconCollectionInputs { .manager = manager,
            .provider = services.thumbnails,
            .iconSetter = services.iconSetter,
            .settings = services.settings,
            .iconSelection = selection,
            .containerSelection = std::move(containers),
            .searchText = std::move(search) };
    };
    QList<Scene> scenes {
        { u"grid-one-colour-64-names"_s,
            [&] {
                names(true, false);
                services.settings.iconPreviewSize().write(64);
                select({ 1, 2 });
            },
            [&](QWidget *host) { return new IconCollectionGrid(inputs({ shapes }), host); } },
        { u"grid-two-128-names"_s,
            [&] {
                names(true, false);
                services.settings.iconPreviewSize().write(128);
                select({ 4 }, 1);
            },
            [&](QWidget *host) {
                return new IconCollectionGrid(inputs({ shapes, glyphID }), host);
            } },
        { u"grid-two-search-16"_s,
            [&] {
                names(true, false);
                services.settings.iconPreviewSize().write(16);
                select({ 0 });
            },
            [&](QWidget *host) {
                return new IconCollectionGrid(inputs({ shapes, glyphID }, u"r"_s), host);
            } },
        { u"grid-one-512"_s,
            [&] {
                names(false, false);
                services.settings.iconPreviewSize().write(512);
                select({ 0 });
            },
            [&](QWidget *host) { return new IconCollectionGrid(inputs({ glyphID }), host); } },
        { u"grid-drop-indicator"_s,
            [&] {
                names(false, false);
                services.settings.iconPreviewSize().write(64);
                select({ 0 });
            },
            [&](QWidget *host) {
                auto *grid = new IconCollectionGrid(inputs({ shapes }), host);
                QTimer::singleShot(0, grid, [grid, &manager, &services] {
                    const QRect target = grid->visualRect(manager.containers().at(0).icons.at(3).id);
                    auto *data = new IconDragMimeData(
                        manager.containers().at(0).icons.at(0), services.iconSetter, services.settings);
                    data->setSourceView(grid);
                    const QPoint point(target.right() - 3, target.center().y());
                    QDragEnterEvent enter(point, Qt::CopyAction, data, Qt::LeftButton, {});
                    QApplication::sendEvent(grid->viewport(), &enter);
                    QDragMoveEvent move(point, Qt::CopyAction, data, Qt::LeftButton, {});
                    QApplication::sendEvent(grid->viewport(), &move);
                    data->deleteLater();
                });
                return grid;
            } },
        { u"grid-focus-frame"_s,
            [&] {
                names(true, false);
                services.settings.iconPreviewSize().write(64);
                select({ 1 });
            },
            [&](QWidget *host) {
                auto *grid = new IconCollectionGrid(inputs({ shapes, glyphID }), host);
                // The current tile moved off the selected one with Control, so that both show.
                QTimer::singleShot(0, grid, [grid] {
                    grid->activateWindow();
                    grid->setFocus();
                    QTest::keyClick(grid, Qt::Key_Right, Qt::ControlModifier);
                    QTest::keyClick(grid, Qt::Key_Right, Qt::ControlModifier);
                });
                return grid;
            } },
        { u"gallery-focus-frame"_s,
            [&] {
                names(false, true);
                services.settings.iconPreviewSize().write(256);
                select({ 2 });
            },
            [&](QWidget *host) {
                auto *gallery = new IconCollectionGallery(inputs({ shapes }), host);
                QTimer::singleShot(0, gallery, [gallery] {
                    gallery->activateWindow();
                    gallery->strip()->setFocus();
                    QTest::keyClick(gallery->strip(), Qt::Key_Right);
                });
                return gallery;
            } },
        { u"gallery-one-names"_s,
            [&] {
                names(false, true);
                services.settings.iconPreviewSize().write(256);
                selection.setSelection({});
            },
            [&](QWidget *host) { return new IconCollectionGallery(inputs({ shapes }), host); } },
        { u"gallery-two-large"_s,
            [&] {
                names(false, true);
                services.settings.galleryIconSize().write(GalleryIconSize::large);
                services.settings.iconPreviewSize().write(512);
                select({ 2 }, 1);
            },
            [&](QWidget *host) {
                return new IconCollectionGallery(inputs({ shapes, glyphID }), host);
            } },
        { u"list-one-colour"_s,
            [&] {
                services.settings.galleryIconSize().reset();
                // The next shot enlarges it, and settings outlive a run.
                services.settings.listIconSize().reset();
                select({ 1, 3 });
            },
            [&](QWidget *host) { return new IconCollectionList(inputs({ shapes }), host); } },
        { u"list-two-search-large"_s,
            [&] {
                services.settings.listIconSize().write(ListIconSize::large);
                select({ 1 }, 1);
            },
            [&](QWidget *host) {
                return new IconCollectionList(inputs({ shapes, glyphID }, u"a"_s), host);
            } },
    };

    const QPalette light = QApplication::style()->standardPalette();
    for (const bool dark : { false, true }) {
        QApplication::setPalette(dark ? darkPalette() : light);
        for (const Scene &scene : scenes) {
            scene.settings();
            QWidget host;
            host.setWindowTitle(scene.name);
            host.setAutoFillBackground(true);
            auto *layout = new QVBoxLayout(&host);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(scene.make(&host));
            host.resize(900, 600);
            host.show();
            if (!QTest::qWaitForWindowExposed(&host)) {
                std::fprintf(stderr, "%s: window not shown\n", qPrintable(scene.name));
                return 1;
            }
            QTest::qWait(150);
            const QPixmap shot = host.screen()->grabWindow(host.winId());
            const QString path = output + u'/' + scene.name + (dark ? u"-dark.png"_s : u"-light.png"_s);
            if (!shot.save(path)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    std::printf("wrote %lld screenshots to %s\n", qlonglong(scenes.size() * 2), qPrintable(output));
    return 0;
}
