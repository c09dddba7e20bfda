// SPDX-License-Identifier: GPL-3.0-or-later
// Scrolling the grid through one collection of 10,000 distinct ICNS icons (16 to 512 px, PNG
// elements), read from a library folder as the program reads it, at 1920×1080 offscreen, a page
// at a time from top to bottom, at 32, 128 and 512 points. At every page the pictures on screen
// are waited for before the next step, as someone looking through the collection would.
//
// The library is written once into a temporary folder; each size then runs in processes of its
// own (GLIMBAR_BENCH_RUNS, 3 by default), so that one run's freed heap does not hide the next
// one's growth. Printed per size, the medians over the runs of: the median, 95th percentile and
// worst frame (every frame of the window while scrolling, its paint and flush) and how many took
// over 16 ms, the slowest page step (the frame right after a step), the GUI thread's CPU time per
// frame (what a frame cost apart from waiting for a core on a busy machine), the process's
// resident memory growth from the first page to the end and at its peak, and the decoded pixels
// the provider keeps at the end. The machine's load average is printed beside them.
// Targets: 95th percentile ≤ 8 ms and worst ≤ 16 ms at every size; growth ≤ 64 MiB at 128 pt and
// ≤ 128 MiB at 512 pt.

#include "benchtable.h"
#include "support/icnsbuilder.h"

#include "collections/iconcollectiongrid.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/libraryreader.h"
#include "library/librarywriter.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "support/appservices.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QtConcurrent>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int iconCount = 10000;
constexpr int sizes[] = { 32, 128, 512 };

// Every icon's elements differ from every other's: a base picture per size with the icon's number
// written into its first row.
QByteArray distinctIcns(int number, const QList<QImage> &bases)
{
    static const QList<QByteArray> types { "icp4", "icp5", "icp6", "ic07", "ic08", "ic09" };
    IcnsBuilder builder;
    for (qsizetype i = 0; i < bases.size(); ++i) {
        QImage picture = bases.at(i);
        for (int bit = 0; bit < 16 && bit < picture.width(); ++bit)
            picture.setPixel(bit, 0, (number >> bit) & 1 ? qRgba(255, 255, 255, 255) : qRgba(0, 0, 0, 255));
        builder.add(types.at(i), IcnsBuilder::png(picture));
    }
    return builder.build();
}

bool writeLibrary(const QString &folder)
{
    QList<QImage> bases;
    for (int side = 16; side <= 512; side *= 2)
        bases.append(IcnsBuilder::pattern(side, side, QColor::fromHsv((side * 7) % 360, 180, 220)));
    QList<int> numbers(iconCount);
    std::iota(numbers.begin(), numbers.end(), 0);
    const QList<QByteArray> files
        = QtConcurrent::blockingMapped(numbers, [&bases](int number) { return distinctIcns(number, bases); });
    IconContainer container { .title = u"Ten Thousand"_s };
    for (int i = 0; i < iconCount; ++i) {
        container.icons.append(Icon(QUuid::createUuid(), container.id, u"Icon %1"_s.arg(i, 5, 10, QChar(u'0')),
            IconFileType::icns, files.at(i), std::nullopt, {}, {}, {}, std::nullopt));
    }
    return bool(LibraryWriter::saveContainer(container, folder));
}

qint64 residentBytes()
{
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

double millis(qint64 nanos)
{
    return double(nanos) / 1e6;
}

qint64 cpuNanos()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Times every frame of one window: its update request, which paints what changed and flushes it.
class FrameTimingApplication : public QApplication
{
public:
    using QApplication::QApplication;

    QWidget *window = nullptr;
    QList<double> frames;
    // The GUI thread's own CPU time in each frame: on a busy machine, what the frame cost apart
    // from waiting for a core.
    QList<double> frameCpu;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (window && receiver == window && event->type() == QEvent::UpdateRequest) {
            QElapsedTimer timer;
            timer.start();
            const qint64 cpu = cpuNanos();
            const bool done = QApplication::notify(receiver, event);
            frames.append(millis(timer.nsecsElapsed()));
            frameCpu.append(millis(cpuNanos() - cpu));
            return done;
        }
        return QApplication::notify(receiver, event);
    }
};

double percentile(QList<double> values, double fraction)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(std::min<qsizetype>(values.size() - 1, qsizetype(fraction * double(values.size()))));
}

// The ids of the tiles the grid shows now.
QSet<QUuid> shownIDs(const IconCollectionGrid &grid, const ContainerManager &manager)
{
    const QRectF visible(QPointF(0, grid.verticalScrollBar()->value()), QSizeF(grid.viewport()->size()));
    QSet<QUuid> ids;
    for (const IconTileLayout::Hit &hit : grid.tileLayout().tilesIn(visible)) {
        const IconSection &section = grid.sections().at(hit.section);
        ids.insert(manager.containers().at(section.containerIndex).icons.at(section.iconIndexes.at(hit.position)).id);
    }
    return ids;
}

// One run in this process: prints "frames median p95 worst worstStep slowFrames cpuP95 cpuWorst
// growth peakGrowth decoded" (milliseconds, a count, milliseconds, then bytes).
int runScroll(FrameTimingApplication &app, const QString &library, int points)
{
    AppServices services;
    services.settings.iconPreviewSize().write(points);
    services.settings.showIconNamesInGrid().write(false);

    std::optional<QList<IconContainer>> containers = LibraryReader::readLibrary(library, [](const IconLookup &) {});
    if (!containers || containers->size() != 1 || containers->first().icons.size() != iconCount)
        return 1;
    ContainerManager &manager = services.library;
    ThumbnailProvider &thumbnails = services.thumbnails;
    manager.setContainers(*containers);
    containers.reset();
    IconSelectionManager selection;
    QSet<QUuid> arrived;
    QObject::connect(&thumbnails, &ThumbnailProvider::ready, &thumbnails,
        [&arrived](const QObject *, QUuid id) { arrived.insert(id); });

    IconCollectionGrid grid(IconCollectionInputs { .manager = manager,
        .provider = thumbnails,
        .iconSetter = services.iconSetter,
        .settings = services.settings,
        .iconSelection = selection,
        .containerSelection = { manager.containers().first().id } });
    grid.resize(1920, 1080);
    grid.show();
    if (!QTest::qWaitForWindowExposed(&grid))
        return 1;
    app.window = &grid;

    // Until what the grid shows has arrived and been painted.
    const auto settle = [&] {
        QElapsedTimer waited;
        waited.start();
        const QSet<QUuid> shown = shownIDs(grid, manager);
        while (!arrived.contains(shown) && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        // The last arrivals' queued calls, then the frame they asked for.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
    };
    settle();
    app.frames.clear();
    app.frameCpu.clear();
    const qint64 startBytes = residentBytes();
    qint64 peakBytes = startBytes;

    QScrollBar *bar = grid.verticalScrollBar();
    double worstStep = 0;
    for (int value = bar->pageStep(); value - bar->pageStep() < bar->maximum(); value += bar->pageStep()) {
        const qsizetype before = app.frames.size();
        bar->setValue(std::min(value, bar->maximum()));
        while (app.frames.size() == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        worstStep = std::max(worstStep, app.frames.at(before));
        settle();
        peakBytes = std::max(peakBytes, residentBytes());
    }
    const qint64 endBytes = residentBytes();
    const qsizetype slow = std::count_if(app.frames.cbegin(), app.frames.cend(), [](double ms) { return ms > 16; });
    std::printf("%lld %.3f %.3f %.3f %.3f %lld %.3f %.3f %lld %lld %lld\n", qlonglong(app.frames.size()),
        percentile(app.frames, 0.5), percentile(app.frames, 0.95),
        *std::max_element(app.frames.cbegin(), app.frames.cend()), worstStep, qlonglong(slow),
        percentile(app.frameCpu, 0.95), *std::max_element(app.frameCpu.cbegin(), app.frameCpu.cend()),
        qlonglong(endBytes - startBytes), qlonglong(peakBytes - startBytes), qlonglong(thumbnails.cachedBytes()));
    app.window = nullptr;
    return 0;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double loadAverage()
{
    double load[1] {};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    FrameTimingApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments.at(1) == "--run"_L1)
        return runScroll(app, arguments.at(2), arguments.at(3).toInt());

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // A folder given is written once and used again by later runs.
    QTemporaryDir temporary;
    const QString library = arguments.size() == 2 ? arguments.at(1) : temporary.path();
    if (!QDir(library).exists(LibraryWriter::containerFolderName(u"Ten Thousand"_s))) {
        QElapsedTimer timer;
        timer.start();
        if (!QDir().mkpath(library) || !writeLibrary(library))
            return 1;
        std::printf("library of %d distinct icons written in %.1f s\n", iconCount, millis(timer.nsecsElapsed()) / 1000);
    }
    bool runsGiven = false;
    const int runs = std::max(1, qEnvironmentVariableIntValue("GLIMBAR_BENCH_RUNS", &runsGiven));
    const int runCount = runsGiven ? runs : 3;

    const double mib = 1048576.0;
    const QString ms = u"ms"_s;
    BenchTable table;
    for (const int points : sizes) {
        QList<QList<double>> figures(11);
        QList<double> loads;
        for (int run = 0; run < runCount; ++run) {
            loads.append(loadAverage());
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(arguments.first(), { u"--run"_s, library, QString::number(points) });
            if (!child.waitForFinished(-1) || child.exitCode() != 0) {
                std::fprintf(stderr, "run at %d pt failed\n", points);
                return 1;
            }
            const QList<QByteArray> values = child.readAllStandardOutput().trimmed().split(' ');
            if (values.size() != figures.size())
                return 1;
            for (qsizetype i = 0; i < values.size(); ++i)
                figures[i].append(values.at(i).toDouble());
        }
        const QString size = u"%1 pt, "_s.arg(points);
        table.add(size + u"frames"_s, median(figures[0]), QString(), std::nullopt, 0);
        table.add(size + u"frame median"_s, median(figures[1]), ms);
        table.add(size + u"frame 95th percentile"_s, median(figures[2]), ms, 8);
        table.add(size + u"worst frame"_s, median(figures[3]), ms, 16);
        table.add(size + u"frames over 16 ms"_s, median(figures[5]), QString(), std::nullopt, 0);
        table.add(size + u"slowest page step"_s, median(figures[4]), ms);
        table.add(size + u"GUI thread CPU per frame, 95th percentile"_s, median(figures[6]), ms);
        table.add(size + u"GUI thread CPU per frame, worst"_s, median(figures[7]), ms);
        // Growth is bounded at the sizes the targets name; 32 pt is shown only.
        const double growth = median(figures[8]) / mib;
        if (points == 32)
            table.add(size + u"memory growth"_s, growth, u"MiB"_s, std::nullopt, 1);
        else
            table.add(size + u"memory growth"_s, growth, u"MiB"_s, points == 128 ? 64.0 : 128.0, 1);
        table.add(size + u"memory growth, peak"_s, median(figures[9]) / mib, u"MiB"_s, std::nullopt, 1);
        table.add(size + u"decoded pixels kept at the end"_s, median(figures[10]) / mib, u"MiB"_s, std::nullopt, 1);
        table.add(size + u"load average while measured (median of %1 runs)"_s.arg(runCount), median(loads), QString(),
            std::nullopt, 1);
    }
    return table.print();
}
