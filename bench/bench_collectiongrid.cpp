// SPDX-License-Identifier: GPL-3.0-or-later
// The grid with a large library: 100 containers of 100 ICNS icons (16 to 1024 px), all selected,
// at 128 points in a 1920×1080 viewport, offscreen. Prints the first paint after the library is
// shown, a full repaint once pictures are decoded, the decoded-pixel memory while scrolling from
// top to bottom a viewport at a time, and the repaint after a Shift click selects 10,000 icons.
// Targets: first paint at most 100 ms, a full repaint at most 8 ms (median).

#include "benchtable.h"
#include "support/icnsbuilder.h"

#include "collections/iconcollectiongrid.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "support/appservices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

QList<QByteArray> makeIcnsFiles(int count)
{
    const QList<QPair<QByteArray, int>> elements { { "icp4", 16 }, { "icp5", 32 }, { "icp6", 64 }, { "ic07", 128 },
        { "ic08", 256 }, { "ic09", 512 }, { "ic10", 1024 } };
    QList<QByteArray> files;
    for (int i = 0; i < count; ++i) {
        IcnsBuilder builder;
        const QColor colour = QColor::fromHsv((i * 37) % 360, 180, 220);
        for (const auto &[type, side] : elements)
            builder.add(type, IcnsBuilder::png(IcnsBuilder::pattern(side, side, colour)));
        files.append(builder.build());
    }
    return files;
}

// Every icon parses its own bytes, so each has pictures of its own in the cache.
IconContainer makeContainer(int number, int icons, const QList<QByteArray> &files)
{
    IconContainer container { .title = QStringLiteral("Collection %1").arg(number) };
    for (int i = 0; i < icons; ++i) {
        container.icons.append(Icon { .id = QUuid::createUuid(),
            .containerID = container.id,
            .name = QStringLiteral("Icon %1-%2").arg(number).arg(i),
            .type = IconFileType::icns,
            .icnsData = files.at((number * icons + i) % files.size()) });
    }
    return container;
}

// The machine is shared, so wall time swings with its load; the thread's own CPU time shows the
// work the view does.
qint64 cpuNanos()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double millis(qint64 nanos)
{
    return double(nanos) / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Lets the provider's workers decode what the last paint asked for: events are processed until no
// picture has arrived for 300 ms (at most 30 s), and the view repaints with what arrived.
void waitForPictures(ThumbnailProvider &thumbnails, QWidget *viewport)
{
    int arrived = 0;
    const QMetaObject::Connection counting = QObject::connect(
        &thumbnails, &ThumbnailProvider::ready, viewport, [&arrived](const QObject *, QUuid) { ++arrived; });
    QElapsedTimer quiet;
    QElapsedTimer total;
    quiet.start();
    total.start();
    int seen = 0;
    while (quiet.elapsed() < 300 && total.elapsed() < 30000) {
        QTest::qWait(20);
        if (arrived != seen) {
            seen = arrived;
            quiet.restart();
        }
    }
    QObject::disconnect(counting);
}

qint64 decodedBytes(ThumbnailProvider &thumbnails)
{
    return thumbnails.cachedBytes();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppServices services;
    services.settings.iconPreviewSize().write(128);
    services.settings.showIconNamesInGrid().write(false);

    const QList<QByteArray> files = makeIcnsFiles(50);
    QList<IconContainer> containers;
    QSet<QUuid> all;
    for (int c = 0; c < 100; ++c) {
        containers.append(makeContainer(c, 100, files));
        all.insert(containers.last().id);
    }
    ContainerManager &manager = services.library;
    ThumbnailProvider &thumbnails = services.thumbnails;
    manager.setContainers(containers);
    IconSelectionManager selection;

    // The view is made and laid out, then painted once it is on screen; waiting for the window to
    // be exposed is left out of the figure.
    QElapsedTimer timer;
    timer.start();
    qint64 cpu = cpuNanos();
    auto grid = std::make_unique<IconCollectionGrid>(IconCollectionInputs { .manager = manager,
        .provider = thumbnails,
        .iconSetter = services.iconSetter,
        .settings = services.settings,
        .iconSelection = selection,
        .containerSelection = all });
    grid->resize(1920, 1080);
    const qint64 made = timer.nsecsElapsed();
    const qint64 madeCpu = cpuNanos() - cpu;
    grid->show();
    if (!QTest::qWaitForWindowExposed(grid.get()))
        return 1;
    timer.restart();
    cpu = cpuNanos();
    grid->viewport()->repaint();
    const qint64 firstPaint = made + timer.nsecsElapsed();
    const qint64 firstPaintCpu = madeCpu + cpuNanos() - cpu;
    waitForPictures(thumbnails, grid->viewport());

    QList<double> repaints;
    QList<double> repaintsCpu;
    for (int i = 0; i < 30; ++i) {
        timer.restart();
        cpu = cpuNanos();
        grid->viewport()->repaint();
        repaintsCpu.append(millis(cpuNanos() - cpu));
        repaints.append(millis(timer.nsecsElapsed()));
    }

    QScrollBar *bar = grid->verticalScrollBar();
    qint64 peakBytes = decodedBytes(thumbnails);
    QList<double> steps;
    for (int value = 0; value <= bar->maximum(); value += bar->pageStep()) {
        bar->setValue(value);
        timer.restart();
        grid->viewport()->repaint();
        steps.append(millis(timer.nsecsElapsed()));
        waitForPictures(thumbnails, grid->viewport());
        peakBytes = std::max(peakBytes, decodedBytes(thumbnails));
    }

    // One container of 10,000 icons: click the first, Shift-click the last.
    grid.reset();
    manager.setContainers({ makeContainer(0, 10000, files) });
    const QUuid big = manager.containers().first().id;
    grid = std::make_unique<IconCollectionGrid>(IconCollectionInputs { .manager = manager,
        .provider = thumbnails,
        .iconSetter = services.iconSetter,
        .settings = services.settings,
        .iconSelection = selection,
        .containerSelection = QSet<QUuid> { big } });
    grid->resize(1920, 1080);
    grid->show();
    if (!QTest::qWaitForWindowExposed(grid.get()))
        return 1;
    grid->viewport()->repaint();
    const IconContainer &container = manager.containers().first();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(container.icons.first().id).center());
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    grid->viewport()->repaint();
    const QPoint last = grid->visualRect(container.icons.last().id).center();
    timer.restart();
    cpu = cpuNanos();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, last);
    const qint64 rules = timer.nsecsElapsed();
    grid->viewport()->repaint();
    const qint64 shiftTotal = timer.nsecsElapsed();
    const qint64 shiftCpu = cpuNanos() - cpu;

    const QString ms = QStringLiteral("ms");
    BenchTable table;
    // Placeholders stand where pictures are not decoded yet.
    table.add(QStringLiteral("first paint after the library is shown, wall"), millis(firstPaint), ms, 100);
    table.add(QStringLiteral("first paint after the library is shown, CPU"), millis(firstPaintCpu), ms);
    table.add(QStringLiteral("full repaint, pictures decoded, median wall"), median(repaints), ms, 8);
    table.add(QStringLiteral("full repaint, pictures decoded, median CPU"), median(repaintsCpu), ms);
    table.add(QStringLiteral("full repaint, pictures decoded, worst wall"),
        *std::max_element(repaints.cbegin(), repaints.cend()), ms);
    table.add(QStringLiteral("scroll top to bottom (%1 steps), median step").arg(steps.size()), median(steps), ms);
    table.add(QStringLiteral("scroll top to bottom, worst step"), *std::max_element(steps.cbegin(), steps.cend()), ms);
    table.add(QStringLiteral("decoded pixels while scrolling, peak"), double(peakBytes) / 1048576.0,
        QStringLiteral("MiB"), std::nullopt, 1);
    table.add(QStringLiteral("bound of the pictures no view keeps"), double(thumbnails.maxRemainderBytes()) / 1048576.0,
        QStringLiteral("MiB"), std::nullopt, 1);
    const QString shift = QStringLiteral("shift click selecting %1 icons").arg(selection.selection().size());
    table.add(shift + QStringLiteral(", to select"), millis(rules), ms);
    table.add(shift + QStringLiteral(", wall until repainted"), millis(shiftTotal), ms);
    table.add(shift + QStringLiteral(", CPU until repainted"), millis(shiftCpu), ms);
    return table.print();
}
