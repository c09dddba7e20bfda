// SPDX-License-Identifier: GPL-3.0-or-later
// Screenshots of the main window with a small library of made-up collections: no container
// selected, one, and two, in a light and a dark palette; then the whole window with its empty
// search field, two sections (one title too long for its header) and a Quick Drop result. Run
// under a virtual display, once at each scale, inside a session bus of its own so that GIO can
// store the Quick Drop's icon:
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1600x1000x24" build/dev/tools/mainwindow_screenshots /tmp/shots
//   QT_SCALE_FACTOR=2 dbus-run-session -- xvfb-run -a -s "-screen 0 1600x1000x24"
//   build/dev/tools/mainwindow_screenshots /tmp/2x
// The pictures go into the folder given, never into the source tree.
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/commandmanager.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/contentview.h"
#include "mainwindow/mainsplitview.h"
#include "mainwindow/quickdropview.h"
#include "mainwindow/sidebarview.h"
#include "mainwindow/windowtitle.h"
#include "platform/desktop/giofileiconsetter.h"
#include "platform/settings/settingsstore.h"

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

} // namespace

int main(int argc, char **argv)
{
    // Settings and the library go to a home of the tool's own, never the user's.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: mainwindow_screenshots OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
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
