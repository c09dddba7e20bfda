// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start with libraries from 10 containers of 20 small icons to 100 containers of 100
// large ICNS icons (some 3.5 GB): how soon the main window shows a sidebar with rows in it, how
// much memory the process has held at most once the first collection's grid is shown at 128
// points, and the longest the GUI thread goes between two event-loop iterations while a library
// load, an import of an older archive of about 50 MB and a save of that container run.
//
// Every sample is a fresh process started by this program, timed from the moment the parent starts
// it (CLOCK_MONOTONIC, which every process shares) to the end of the paint that first shows a
// filled sidebar. The "window" arm is the program itself: runGlimbar() under the offscreen
// platform, with a probe that watches its events from an application event filter, so the window
// is built the way the program builds it. The "floor" arm shows a plain list of the titles it reads
// from every info.json: no program that lists the library starts much sooner. The arms alternate,
// and every figure is the median of the samples. Each library lies in a home folder of its own
// (QStandardPaths' test mode below HOME) and is generated once by a child run. Before every sample
// the library's files are dropped from the page cache (posix_fadvise needs no privileges), as at
// the first start after a reboot: the disk's speed, and whatever else uses it, counts. With --warm
// they are read once before anything is measured instead, so that every sample finds them cached.
//
// Usage: bench_startup [--samples N] [--keep FOLDER] [--warm] [10x20] [1000x20] [5000x20] [100x100]
// Without names every library is measured. --keep generates the libraries into FOLDER and reuses
// them on later runs (the large one takes a while to write).

#include "benchprocess.h"
#include "benchtable.h"
#include "support/generatedlibrary.h"

#include "app/application.h"
#include "collections/iconcollectiongrid.h"
#include "library/containermanager.h"
#include "library/librarywriter.h"
#include "library/settings.h"
#include "mainwindow/containerlistmodel.h"
#include "mainwindow/contentview.h"
#include "mainwindow/sidebarview.h"
#include "platform/settings/settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using namespace BenchProcess;

constexpr qint64 archiveBytes = qint64(50) << 20;
constexpr int defaultSamples = 7;
// The grid is shown once it has not repainted for this long: the pictures it asked for are in.
constexpr qint64 gridSettleNanos = 1'000'000'000;
// How long the loop is watched after an operation has finished, for the work it leaves behind
// (repaints, queued results).
constexpr qint64 operationTailNanos = 300'000'000;
constexpr qint64 operationTimeoutNanos = qint64(600) * 1'000'000'000;
// A window that never shows a filled sidebar (an empty library, a view that changed) fails the sample.
constexpr int sidebarTimeoutMilliseconds = 300'000;
constexpr qint64 maxGapNanos = 50'000'000;
const QString savedTitle = u"Saved Copy"_s;

struct LibraryKind
{
    const char *name;
    GeneratedLibrary::Shape shape;
    // Targets; none where the library has none.
    std::optional<double> startupSeconds;
    std::optional<double> memoryMiB;
};

const LibraryKind libraryKinds[] = {
    { "10x20", { 10, 20, true }, std::nullopt, std::nullopt },
    { "1000x20", { 1000, 20, true }, std::nullopt, std::nullopt },
    { "5000x20", { 5000, 20, true }, 2.0, 300 },
    { "100x100", { 100, 100, false }, 0.3, 300 },
};

qint64 peakMemoryKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// The list view of a main window's sidebar when `widget` is its viewport.
QListView *sidebarList(QWidget *widget)
{
    auto *list = qobject_cast<QListView *>(widget->parentWidget());
    if (!list || list->viewport() != widget || !qobject_cast<SidebarView *>(list->parentWidget()))
        return nullptr;
    return list;
}

// The longest time between two iterations of the event loop while it runs: a zero timer fires once
// per iteration, so a gap between two of its firings is time the loop spent on something else.
class LoopGapMonitor : public QObject
{
public:
    explicit LoopGapMonitor(std::function<void()> tick)
        : m_tick(std::move(tick))
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, &LoopGapMonitor::fire);
    }

    void start()
    {
        m_longest = 0;
        m_last = monotonicNanos();
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    qint64 longest() const { return m_longest; }

private:
    void fire()
    {
        const qint64 now = monotonicNanos();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
        m_tick();
    }

    std::function<void()> m_tick;
    QTimer m_timer;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Watches the program from the moment its application object exists: times the first paint of a
// filled sidebar, selects the first container and waits for its grid to settle, reads the peak
// memory, then runs a load, an import and a save one after the other, each watched by a
// LoopGapMonitor until it has finished and a short while longer.
class WindowProbe : public QObject
{
public:
    WindowProbe(qint64 spawnNanos, QString archive)
        : m_spawnNanos(spawnNanos)
        , m_archive(std::move(archive))
        , m_monitor([this] { tick(); })
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (!m_deadlineArmed) {
            // From the first paint on, the application is fully built and its timers run.
            m_deadlineArmed = true;
            QTimer::singleShot(sidebarTimeoutMilliseconds, this, [this] {
                if (m_stage == Stage::sidebar)
                    finish({});
            });
        }
        if (m_stage == Stage::sidebar) {
            QListView *list = sidebarList(widget);
            if (list && list->model()->rowCount() > 0) {
                m_stage = Stage::sidebarPainted;
                m_list = list;
                // Once the loop is back: the window's whole paint has been done and flushed.
                QTimer::singleShot(0, this, &WindowProbe::sidebarShown);
            }
        } else if (m_stage == Stage::grid && qobject_cast<IconCollectionGrid *>(widget->parentWidget())) {
            m_gridPaintNanos = monotonicNanos();
        }
        return false;
    }

private:
    enum class Stage { sidebar, sidebarPainted, grid, operations };

    struct Operation
    {
        std::function<void()> start;
        std::function<bool()> finished;
    };

    void sidebarShown()
    {
        m_figures.append(monotonicNanos() - m_spawnNanos);
        m_stage = Stage::grid;
        const QModelIndex first = m_list->model()->index(0, 0);
        m_list->selectionModel()->select(first, QItemSelectionModel::ClearAndSelect);
        m_stageStart = monotonicNanos();
        auto *settle = new QTimer(this);
        settle->setInterval(50);
        connect(settle, &QTimer::timeout, this, [this, settle] {
            const qint64 now = monotonicNanos();
            const bool settled = m_gridPaintNanos > 0 && now - m_gridPaintNanos >= gridSettleNanos;
            if (!settled && now - m_stageStart < operationTimeoutNanos)
                return;
            settle->deleteLater();
            m_figures.append(settled ? peakMemoryKiB() : -1);
            startOperations();
        });
        settle->start();
    }

    void startOperations()
    {
        m_stage = Stage::operations;
        auto *window = qobject_cast<ContentView *>(m_list->window());
        if (!window)
            finish(m_figures);
        ContainerManager &library = window->library();
        const QString libraryFolder = ContainerManager::libraryFolderURL().value_or(QString());
        auto *model = qobject_cast<ContainerListModel *>(m_list->model());
        connect(model, &ContainerListModel::rowsUpdated, this, [this] { m_rowsUpdated = true; });

        m_operations.append({ [this, &library] {
                                 m_rowsUpdated = false;
                                 library.loadLibrary();
                             },
            [this] { return m_rowsUpdated; } });
        m_operations.append({ [this, window, model] {
                                 m_rowsBefore = model->rowCount();
                                 window->importArchives({ m_archive });
                             },
            [this, model] { return model->rowCount() > m_rowsBefore; } });
        m_operations.append({ [&library, libraryFolder] {
                                 // The imported container, saved again under a title of its own.
                                 for (const IconContainer &container : library.containers()) {
                                     if (!container.title.startsWith("Collection "_L1)) {
                                         IconContainer copy = container;
                                         copy.id = QUuid::createUuid();
                                         copy.title = savedTitle;
                                         library.saveIntoLibrary([copy] { return copy; });
                                         return;
                                     }
                                 }
                             },
            [libraryFolder] {
                return QFileInfo::exists(libraryFolder + u'/' + LibraryWriter::containerFolderName(savedTitle));
            } });
        runOperation();
    }

    void runOperation()
    {
        if (m_current == m_operations.size())
            finish(m_figures);
        m_stageStart = monotonicNanos();
        m_finishedNanos = 0;
        m_lastCheckNanos = 0;
        m_monitor.start();
        // From the loop, so that the monitor's first gap includes the start.
        QTimer::singleShot(0, this, [this] { m_operations.at(m_current).start(); });
    }

    void tick()
    {
        const qint64 now = monotonicNanos();
        if (m_finishedNanos == 0) {
            // Checked every few milliseconds only: a check may look at the disk.
            if (now - m_lastCheckNanos < 5'000'000)
                return;
            m_lastCheckNanos = now;
            if (m_operations.at(m_current).finished())
                m_finishedNanos = now;
            else if (now - m_stageStart > operationTimeoutNanos)
                m_finishedNanos = -1;
            return;
        }
        if (m_finishedNanos > 0 && now - m_finishedNanos < operationTailNanos)
            return;
        m_monitor.stop();
        m_figures.append(m_finishedNanos > 0 ? m_monitor.longest() : -1);
        ++m_current;
        // Not from inside the monitor's own timer.
        QTimer::singleShot(0, this, &WindowProbe::runOperation);
    }

    const qint64 m_spawnNanos;
    const QString m_archive;
    Stage m_stage = Stage::sidebar;
    bool m_deadlineArmed = false;
    QPointer<QListView> m_list;
    qint64 m_stageStart = 0;
    qint64 m_gridPaintNanos = 0;
    LoopGapMonitor m_monitor;
    QList<Operation> m_operations;
    qsizetype m_current = 0;
    qint64 m_finishedNanos = 0;
    qint64 m_lastCheckNanos = 0;
    bool m_rowsUpdated = false;
    int m_rowsBefore = 0;
    // Startup nanoseconds, peak KiB, then the longest gap of each operation.
    QList<qint64> m_figures;
};

qint64 g_spawnNanos = 0;
QString g_archive;

void installProbe()
{
    // Lives as long as the process, which ends through finish().
    auto *probe = new WindowProbe(g_spawnNanos, g_archive);
    QCoreApplication::instance()->installEventFilter(probe);
}

// The program itself, watched.
int runWindowArm(char *program, qint64 spawnNanos, const QString &archive)
{
    QStandardPaths::setTestModeEnabled(true);
    {
        // Written to the file when the store goes, before the program reads it.
        SettingsStore store;
        const Settings settings(store);
        settings.iconViewMode().write(IconViewMode::grid);
        settings.iconPreviewSize().write(128);
    }
    g_spawnNanos = spawnNanos;
    g_archive = archive;
    qAddPreRoutine(installProbe);
    char *arguments[] = { program, nullptr };
    runGlimbar(1, arguments);
    // The program ended before the probe had its figures.
    return 1;
}

// The floor: a list of the titles, read from each info.json before the list is shown.
class FloorProbe : public QObject
{
public:
    explicit FloorProbe(qint64 spawnNanos)
        : m_spawnNanos(spawnNanos)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *list = qobject_cast<QListWidget *>(watched->parent());
        if (event->type() == QEvent::Paint && list && list->count() > 0 && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, [this] { finish({ monotonicNanos() - m_spawnNanos, peakMemoryKiB() }); });
        }
        return false;
    }

private:
    const qint64 m_spawnNanos;
    bool m_seen = false;
};

int runFloorArm(int argc, char **argv, qint64 spawnNanos, const QString &library)
{
    QApplication app(argc, argv);
    QListWidget list;
    FloorProbe probe(spawnNanos);
    list.viewport()->installEventFilter(&probe);
    QDir folder(library);
    for (const QString &name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        QFile info(folder.filePath(name) + u"/info.json"_s);
        if (info.open(QIODevice::ReadOnly))
            list.addItem(QJsonDocument::fromJson(info.readAll()).object().value("title"_L1).toString());
    }
    list.resize(960, 640);
    list.show();
    QApplication::exec();
    // The loop ended before the probe had its figures.
    return 1;
}

// Removes what samples added (imported and saved containers, and what a killed save left), so that
// every sample, and every later run of a kept library, finds the library as it was generated.
void removeAdditions(const QString &library)
{
    const QStringList entries
        = QDir(library).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (!entry.startsWith("Collection "_L1))
            QDir(library + u'/' + entry).removeRecursively();
    }
}

// The size of the files below `folder`; with `read`, each is read too, which leaves it cached.
qint64 measureFiles(const QString &folder, bool read)
{
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!read)
            total += file.size();
        else if (file.open(QIODevice::ReadOnly))
            total += file.readAll().size();
    }
    return total;
}

// Asks the kernel to forget the cached pages of every file below `folder`; they were written long
// enough ago to be clean, so it may.
void dropFromPageCache(const QString &folder)
{
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const int fd = ::open(QFile::encodeName(it.next()).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

std::optional<QList<qint64>> spawnArm(const QStringList &arguments, const QString &home, const QString &runtime)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, home);
    // The program's single-instance socket lies there: other runs of the program stay apart.
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    process.setProcessEnvironment(environment);
    QStringList withStart = arguments;
    withStart.insert(1, QString::number(monotonicNanos()));
    process.start(QCoreApplication::applicationFilePath(), withStart);
    // Its warnings (the offscreen platform has a few for every window) only matter when it fails.
    const auto failed = [&process] {
        std::fputs(process.readAllStandardError().constData(), stdout);
        return std::nullopt;
    };
    if (!process.waitForFinished(int(operationTimeoutNanos / 1'000'000) * 4) || process.exitCode() != 0)
        return failed();
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        if (!line.startsWith("RESULT "))
            continue;
        QList<qint64> figures;
        for (const QByteArray &field : line.mid(7).split(' '))
            figures.append(field.toLongLong());
        return figures;
    }
    return failed();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "window") == 0)
        return runWindowArm(argv[0], QByteArray(argv[2]).toLongLong(), QString::fromLocal8Bit(argv[3]));
    if (argc == 4 && qstrcmp(argv[1], "floor") == 0)
        return runFloorArm(1, argv, QByteArray(argv[2]).toLongLong(), QString::fromLocal8Bit(argv[3]));

    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc == 4 && qstrcmp(argv[1], "generate") == 0) {
        for (const LibraryKind &kind : libraryKinds) {
            if (qstrcmp(argv[2], kind.name) == 0)
                return GeneratedLibrary::write(QString::fromLocal8Bit(argv[3]), kind.shape) ? 0 : 1;
        }
        return 1;
    }
    if (argc == 3 && qstrcmp(argv[1], "archive") == 0)
        return GeneratedLibrary::writeLegacyArchive(QString::fromLocal8Bit(argv[2]), archiveBytes) ? 0 : 1;

    int samples = defaultSamples;
    QString keep;
    bool warm = false;
    QList<const LibraryKind *> chosen;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == "--samples"_L1 && i + 1 < arguments.size()) {
            samples = std::max(1, arguments.at(++i).toInt());
            continue;
        }
        if (arguments.at(i) == "--warm"_L1) {
            warm = true;
            continue;
        }
        if (arguments.at(i) == "--keep"_L1 && i + 1 < arguments.size()) {
            keep = QDir(arguments.at(++i)).absolutePath();
            continue;
        }
        const auto *kind = std::find_if(std::begin(libraryKinds), std::end(libraryKinds),
            [&](const LibraryKind &k) { return arguments.at(i) == QLatin1StringView(k.name); });
        if (kind == std::end(libraryKinds)) {
            std::printf(
                "usage: bench_startup [--samples N] [--keep FOLDER] [--warm] [10x20] [1000x20] [5000x20] [100x100]\n");
            return 2;
        }
        chosen.append(kind);
    }
    if (chosen.isEmpty()) {
        for (const LibraryKind &kind : libraryKinds)
            chosen.append(&kind);
    }

    QTemporaryDir scratch;
    QTemporaryDir runtime;
    if (!scratch.isValid() || !runtime.isValid())
        return 1;
    const QString archive = scratch.filePath(u"Imported.ravivovode"_s);
    if (QProcess::execute(QCoreApplication::applicationFilePath(), { u"archive"_s, archive }) != 0) {
        std::printf("could not write the archive\n");
        return 1;
    }

    BenchTable table;
    const auto addRow
        = [&table](const QString &library, const QString &measure, double value, const QString &unit,
              std::optional<double> limit) { table.add(library + u": "_s + measure, value, unit, limit); };

    for (const LibraryKind *kind : std::as_const(chosen)) {
        const QString name = QString::fromLatin1(kind->name);
        QTemporaryDir temporaryHome;
        const QString home = keep.isEmpty() ? temporaryHome.path() : keep + u'/' + name;
        const QString library = home + u"/.qttest/share/Glimbar/Library"_s;
        const QString complete = home + u"/complete"_s;
        if (!QFile::exists(complete)) {
            // The large library needs some 3.5 GB; a full disk would fail every later sample.
            const qint64 needed = kind->shape.smallIcons ? qint64(1) << 30 : qint64(5) << 30;
            QDir().mkpath(home);
            if (QStorageInfo(home).bytesAvailable() < needed) {
                std::printf("%s: skipped, less than %lld GiB free in %s\n", kind->name, needed >> 30, qPrintable(home));
                continue;
            }
            QDir(library).removeRecursively();
            QElapsedTimer timer;
            timer.start();
            if (QProcess::execute(QCoreApplication::applicationFilePath(), { u"generate"_s, name, library }) != 0) {
                std::printf("%s: could not generate the library\n", kind->name);
                return 1;
            }
            if (QFile marker(complete); !marker.open(QIODevice::WriteOnly))
                return 1;
            std::printf("%s: generated in %.1f s\n", kind->name, timer.nsecsElapsed() / 1e9);
        }
        removeAdditions(library);
        const qint64 bytes = measureFiles(library, warm);
        std::printf("%s: %d containers × %d icons, %.1f MiB; %d samples of each arm, %s; load average %s\n", kind->name,
            kind->shape.containers, kind->shape.iconsPerContainer, bytes / 1048576.0, samples,
            warm ? "files in the page cache" : "files dropped from the page cache before each",
            loadAverage().constData());
        std::fflush(stdout);

        QList<double> startups, floors, peaks, floorPeaks, loadGaps, importGaps, saveGaps;
        for (int sample = 0; sample < samples; ++sample) {
            // Which arm goes first alternates, so that neither always follows the other.
            for (const bool window : { sample % 2 == 0, sample % 2 != 0 }) {
                const QStringList armArguments
                    = window ? QStringList { u"window"_s, archive } : QStringList { u"floor"_s, library };
                if (!warm)
                    dropFromPageCache(library);
                const std::optional<QList<qint64>> figures = spawnArm(armArguments, home, runtime.path());
                removeAdditions(library);
                if (!figures || figures->size() != (window ? 5 : 2)) {
                    std::printf("%s: the %s arm failed\n", kind->name, window ? "window" : "floor");
                    return 1;
                }
                const auto value
                    = [&](int i, double scale) { return figures->at(i) < 0 ? -1 : figures->at(i) / scale; };
                if (!window) {
                    floors.append(value(0, 1e9));
                    floorPeaks.append(value(1, 1024));
                    continue;
                }
                startups.append(value(0, 1e9));
                peaks.append(value(1, 1024));
                loadGaps.append(value(2, 1e6));
                importGaps.append(value(3, 1e6));
                saveGaps.append(value(4, 1e6));
            }
        }
        std::printf("%s: measured; load average %s\n", kind->name, loadAverage().constData());
        std::fflush(stdout);
        addRow(name, u"first filled sidebar"_s, median(startups), u"s"_s, kind->startupSeconds);
        addRow(name, u"floor: plain list of titles"_s, median(floors), u"s"_s, std::nullopt);
        addRow(name, u"peak memory, grid at 128 pt"_s, median(peaks), u"MiB"_s, kind->memoryMiB);
        addRow(name, u"floor: plain list of titles, peak memory"_s, median(floorPeaks), u"MiB"_s, std::nullopt);
        addRow(name, u"longest loop gap: load"_s, median(loadGaps), u"ms"_s, maxGapNanos / 1e6);
        addRow(name, u"longest loop gap: 50 MB import"_s, median(importGaps), u"ms"_s, maxGapNanos / 1e6);
        addRow(name, u"longest loop gap: save"_s, median(saveGaps), u"ms"_s, maxGapNanos / 1e6);
    }

    return table.print();
}
