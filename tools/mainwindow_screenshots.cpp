// SPDX-License-Identifier: GPL-3.0-or-later
// Screenshots of the main window with a small library of made-up collections: no container
// selected, one, and two, in a light and a dark palette; then the whole window with its empty
// search field, two sections (one title too long for its header) and a Quick Drop result. Run
// under a virtual display, once at each scale, inside a session bus of its own so that GIO can
// store the Quick Drop's icon:
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1600x1000x24" build/dev/tools/mainwindow_screenshots /tmp/shots
//   QT_SCALE_FACTOR=2 dbus-run-session -- xvfb-run -a -s "-screen 0 1600x1000x24"
//   build/dev/tools/mainwindow_screenshots /tmp/2x
// With --frames before the folder it saves instead one strip of frames per animation (the Quick
// Drop panel opening with and without an icon, an icon arriving while open and while closed, a
// result's symbol, the emulation toggle, the gallery's names), each at five times of its run.
// The pictures go into the folder given, never into the source tree.
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/commandmanager.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/contentview.h"
#include "mainwindow/detailcolumn.h"
#include "mainwindow/detailstatusbar.h"
#include "mainwindow/mainsplitview.h"
#include "mainwindow/quickdropview.h"
#include "mainwindow/sidebarview.h"
#include "mainwindow/statusbartoggle.h"
#include "mainwindow/windowtitle.h"
#include "platform/desktop/giofileiconsetter.h"
#include "platform/settings/settingsstore.h"
#include "widgets/motionanimation.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray png(const QColor &color, int shape)
{
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color);
    painter.setPen(QPen(color.darker(150), 8));
    switch (shape % 3) {
    case 0:
        painter.drawEllipse(QRect(28, 28, 200, 200));
        break;
    case 1:
        painter.drawRoundedRect(QRect(28, 28, 200, 200), 40, 40);
        break;
    default:
        painter.drawPolygon(QPolygon({ QPoint(128, 20), QPoint(236, 228), QPoint(20, 228) }));
        break;
    }
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

IconContainer container(const QString &title, const QString &author, int hue, int count, bool customIcon)
{
    IconContainer result { .title = title, .authorName = author };
    for (int i = 0; i < count; ++i) {
        const QColor color = QColor::fromHsv((hue + i * 23) % 360, 160, 220);
        result.icons << Icon { .id = QUuid::createUuid(),
            .containerID = result.id,
            .name = u"%1 %2"_s.arg(title.section(u' ', 0, 0)).arg(i + 1),
            .type = IconFileType::image,
            .imageData = png(color, i),
            .author = author };
    }
    if (customIcon)
        result.customIcon = png(QColor::fromHsv(hue, 200, 200), 1);
    return result;
}

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(40, 40, 42));
    palette.setColor(QPalette::WindowText, QColor(235, 235, 235));
    palette.setColor(QPalette::Base, QColor(30, 30, 32));
    palette.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    palette.setColor(QPalette::Text, QColor(235, 235, 235));
    palette.setColor(QPalette::Button, QColor(55, 55, 58));
    palette.setColor(QPalette::ButtonText, QColor(235, 235, 235));
    palette.setColor(QPalette::Highlight, QColor(10, 100, 220));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(55, 55, 58));
    palette.setColor(QPalette::ToolTipText, QColor(235, 235, 235));
    palette.setColor(QPalette::PlaceholderText, QColor(140, 140, 140));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    return palette;
}

void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(15);
    }
}

// The animations that `trigger` starts anywhere in `window`, each grabbed as `subject` at five
// times of its run, side by side, with the time under each frame.
QImage frameStrip(QWidget &window, QWidget *subject, const std::function<void()> &trigger)
{
    trigger();
    QList<MotionAnimation *> moving;
    int duration = 0;
    for (MotionAnimation *animation : window.findChildren<MotionAnimation *>()) {
        if (animation->isMoving()) {
            animation->pause();
            moving << animation;
            duration = std::max(duration, animation->duration());
        }
    }
    QList<QPixmap> frames;
    QList<int> times;
    for (int step = 0; step <= 4; ++step) {
        const int time = duration * step / 4;
        for (MotionAnimation *animation : std::as_const(moving))
            animation->setCurrentTime(std::min(time, animation->duration()));
        // Briefly, so timers of the program's own (a result's reset) stay ahead.
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        frames << subject->grab();
        times << time;
    }
    const qreal ratio = frames.first().devicePixelRatio();
    QSize size;
    for (const QPixmap &frame : std::as_const(frames))
        size = size.expandedTo(frame.deviceIndependentSize().toSize());
    const int gap = 12;
    const int label = 20;
    QImage strip(QSize(frames.size() * (size.width() + gap), size.height() + label) * ratio, QImage::Format_ARGB32);
    strip.setDevicePixelRatio(ratio);
    strip.fill(QColor(128, 128, 128));
    QPainter painter(&strip);
    for (int i = 0; i < frames.size(); ++i) {
        const int x = i * (size.width() + gap);
        painter.drawPixmap(x, 0, frames[i]);
        painter.setPen(Qt::black);
        painter.drawText(QRect(x, size.height(), size.width(), label), Qt::AlignCenter,
            moving.isEmpty() ? u"(nothing moved)"_s : u"%1 ms"_s.arg(times[i]));
    }
    return strip;
}

int writeFrames(const QString &output, const QString &suffix, ContainerManager &manager,
    const QList<IconContainer> &library, ThumbnailProvider &thumbnails,
    const std::shared_ptr<FileIconSetter> &iconSetter, Settings &settings)
{
    int written = 0;
    for (const bool dark : { false, true }) {
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        settings.iconViewMode().write(IconViewMode::grid);
        settings.showIconNamesInGallery().write(false);
        settings.emulateLowResolution().write(false);
        CommandManager commands;
        ContentView window(commands, manager, thumbnails, iconSetter, settings);
        window.setMotionPolicy(MotionPolicy());
        const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size() - QSize(40, 60);
        window.resize(qMin(760, room.width()), qMin(600, room.height()));
        window.show();
        manager.waitForRequests();
        settle();
        manager.setContainers(library);
        window.setContainerSelection({ library[0].id });
        settle();
        QuickDropView *quickDrop = window.splitView()->sidebar()->quickDropView();
        QWidget *sidebar = window.splitView()->sidebar();
        IconSelectionManager &icons = window.iconSelectionManager();
        const auto finish = [&] {
            for (MotionAnimation *animation : window.findChildren<MotionAnimation *>()) {
                if (animation->state() != QAbstractAnimation::Stopped)
                    animation->setCurrentTime(animation->duration());
            }
            settle();
        };

        struct Run
        {
            QString name;
            QWidget *subject;
            std::function<void()> prepare;
            std::function<void()> trigger;
        };
        const QList<Run> runs {
            { u"quickdrop-open"_s, sidebar,
                [&] {
                    icons.setSelection({});
                    icons.select(library[0].icons[2].id);
                },
                [&] { quickDrop->setExpanded(true); } },
            { u"quickdrop-close"_s, sidebar, [] {}, [&] { quickDrop->setExpanded(false); } },
            { u"quickdrop-open-empty"_s, sidebar, [&] { icons.setSelection({}); },
                [&] { quickDrop->setExpanded(true); } },
            { u"quickdrop-icon-arrives-open"_s, quickDrop, [] {}, [&] { icons.select(library[0].icons[1].id); } },
            { u"quickdrop-icon-leaves-open"_s, quickDrop, [] {}, [&] { icons.setSelection({}); } },
            { u"quickdrop-icon-arrives-closed"_s, quickDrop, [&] { quickDrop->setExpanded(false); },
                [&] { icons.select(library[0].icons[3].id); } },
            { u"quickdrop-result"_s, quickDrop, [] {}, [&] { quickDrop->performDrop({}); } },
            { u"emulation-toggle"_s, window.splitView()->detail()->statusBar(), [] {},
                [&] { window.splitView()->detail()->statusBar()->emulationToggle()->click(); } },
            { u"gallery-names"_s, window.splitView()->detail(),
                [&] {
                    settings.emulateLowResolution().write(false);
                    settings.iconViewMode().write(IconViewMode::gallery);
                },
                [&] { settings.showIconNamesInGallery().write(true); } },
        };
        for (const Run &run : runs) {
            run.prepare();
            finish();
            const QImage strip = frameStrip(window, run.subject, run.trigger);
            finish();
            const QString path
                = u"%1/frames-%2-%3%4.png"_s.arg(output, dark ? u"dark"_s : u"light"_s, run.name, suffix);
            if (!strip.save(path)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
            QTextStream(stdout) << path << Qt::endl;
            ++written;
        }
    }
    return written == 18 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    // Settings and the library go to a home of the tool's own, never the user's.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const bool frames = argc == 3 && qstrcmp(argv[1], "--frames") == 0;
    if (argc != 2 && !frames) {
        std::fputs("usage: mainwindow_screenshots [--frames] OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[argc - 1]);
    if (!QDir().mkpath(output)) {
        std::fputs("cannot make the output folder\n", stderr);
        return 1;
    }
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));

    const QList<IconContainer> library { container(u"Space Icons"_s, u"Ada Lovelace"_s, 210, 9, true),
        container(u"Kitchen Things"_s, u"Bo"_s, 20, 6, false),
        container(u"A Very Long Collection Title That Will Not Fit"_s, {}, 120, 4, false),
        container(
            u"Extraordinarily Long Collection Title That Runs On Past Any Window"_s, u"Someone"_s, 300, 5, false) };
    QSet<IconLookup> lookups;
    for (const IconContainer &c : library) {
        for (const Icon &i : c.icons)
            lookups.insert(IconLookup { i.id, c.id });
    }
    SettingsStore settingsStore;
    Settings settings(settingsStore);
    ContainerManager manager;
    ThumbnailProvider thumbnails;
    const auto iconSetter = std::make_shared<GioFileIconSetter>();
    manager.setIconLookupSet(lookups);
    manager.setContainers(library);

    const qreal scale
        = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() : 1.0;
    const QString suffix = u"@%1x"_s.arg(scale);
    if (frames)
        return writeFrames(output, suffix, manager, library, thumbnails, iconSetter, settings);
    int written = 0;
    for (const bool dark : { false, true }) {
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        QMainWindow window;
        auto *split = new MainSplitView(manager, thumbnails, iconSetter, settings, &window);
        window.setCentralWidget(split);
        // As large as the virtual screen allows at this scale.
        const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size() - QSize(40, 60);
        window.resize(qMin(900, room.width()), qMin(600, room.height()));
        window.show();
        settle();

        struct Scenario
        {
            const char *name;
            QSet<QUuid> selection;
            bool expandQuickDrop;
        };
        const QList<Scenario> scenarios { { "none", {}, true }, { "one", { library[0].id }, true },
            { "two", { library[0].id, library[1].id }, false } };
        for (const Scenario &scenario : scenarios) {
            split->selection().setIds(scenario.selection);
            split->iconSelection().setSelection({});
            if (!scenario.selection.isEmpty())
                split->iconSelection().select(library[0].icons[2].id);
            split->sidebar()->quickDropView()->setExpanded(scenario.expandQuickDrop);
            window.setWindowTitle(WindowTitle::forSelection(scenario.selection, manager.containers()).line());
            settle();
            const QPixmap shot = window.screen()->grabWindow(window.winId());
            const QString path = u"%1/%2-%3%4.png"_s.arg(
                output, dark ? u"dark"_s : u"light"_s, QString::fromLatin1(scenario.name), suffix);
            if (!shot.save(path)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
            QTextStream(stdout) << path << Qt::endl;
            ++written;
        }
    }

    // The whole window. Showing it loads the (empty) library folder, so the made-up library is
    // put back afterwards.
    QTemporaryDir targets;
    QFile target(targets.filePath(u"Target"_s));
    target.open(QIODevice::WriteOnly);
    target.close();
    for (const bool dark : { false, true }) {
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        CommandManager commands;
        ContentView window(commands, manager, thumbnails, iconSetter, settings);
        const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size() - QSize(40, 60);
        window.resize(qMin(760, room.width()), qMin(600, room.height()));
        window.show();
        // The load runs on the library's worker: let it publish before the made-up library goes back.
        manager.waitForRequests();
        settle();
        manager.setContainers(library);
        window.setContainerSelection({ library[0].id, library[3].id });
        window.iconSelectionManager().setSelection({});
        window.iconSelectionManager().select(library[0].icons[2].id);
        QuickDropView *quickDrop = window.splitView()->sidebar()->quickDropView();
        quickDrop->setExpanded(true);
        settle();
        quickDrop->performDrop({ QUrl::fromLocalFile(target.fileName()) });
        QElapsedTimer waited;
        waited.start();
        while (quickDrop->statusSymbol() != u"checkmark"_s && quickDrop->statusSymbol() != u"xmark"_s
            && waited.elapsed() < 5000)
            settle();
        const QPixmap shot = window.screen()->grabWindow(window.winId());
        const QString path = u"%1/%2-window%3.png"_s.arg(output, dark ? u"dark"_s : u"light"_s, suffix);
        if (!shot.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        QTextStream(stdout) << path << " (Quick Drop: " << quickDrop->statusSymbol() << ")" << Qt::endl;
        ++written;
    }
    return written == 8 ? 0 : 1;
}
