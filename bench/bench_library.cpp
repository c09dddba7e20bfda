// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a library against reading the same files into memory, for a library of large icons
// (100 containers of 100 icons) and one of many small icons (100 containers of 20), and importing
// an older archive of about 50 MB. A load reads info.json and each icon file's headers, not its
// bytes, so the read is what the load no longer pays: the ratio shows what is left of it.
//
// Each library is generated once into a temporary folder by a child run of this program. Every
// sample of either arm (the load, the plain read) then runs in a fresh process of its own, so
// that both start from the same memory state: a read in the process of a load would reuse the
// pages the load has just freed. The page cache cannot be dropped without privileges, so every
// file is read once before anything is measured: both arms run warm. The arms alternate, and the
// medians of the samples are compared. Targets: the load at most 1.2 times the read for both
// libraries, its peak memory (VmHWM above the resident size before it) at most 1.5 times the
// files' size for large icons, and the import well under a second.

#include "benchtable.h"
#include "support/generatedlibrary.h"

#include "library/containermanager.h"
#include "platform/files/nativefiles.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int containerCount = 100;
constexpr qint64 archiveTarget = qint64(50) << 20;
constexpr int samples = 7;

struct LibraryKind
{
    const char *name;
    int iconsPerContainer;
    bool small;
    // A sample of the small library takes some 50 ms, where the machine's own noise shows most: it
    // takes more of them.
    int samples;
};

constexpr LibraryKind libraryKinds[] = { { "large icons", 100, false, samples }, { "small icons", 20, true, 21 } };

// The child's work: the library's container folders and, when a path is given, the archive.
int generate(const QString &library, const LibraryKind &kind, const QString &archivePath)
{
    if (!GeneratedLibrary::write(library, { containerCount, kind.iconsPerContainer, kind.small }))
        return 1;
    // An older archive of ICNS icons, as large as the target.
    return archivePath.isEmpty() || GeneratedLibrary::writeLegacyArchive(archivePath, archiveTarget) ? 0 : 1;
}

QStringList allFiles(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

qint64 statusKiB(const char *field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Makes VmHWM start again from the current resident size (Linux 4.0 and later).
bool resetPeakMemory()
{
    QFile clearRefs(u"/proc/self/clear_refs"_s);
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// One sample in a fresh process: "load" runs a library load and publishes its results; "read"
// finds the same files and reads each into memory, kept there as the load keeps them, with the
// reader the load uses. Prints the nanoseconds taken, the bytes or icons held, and the peak
// memory above the resident size before (KiB; -1 when it cannot be measured).
int runArm(const QString &arm, const QString &library)
{
    const bool measureMemory = resetPeakMemory();
    const qint64 baseKiB = statusKiB("VmRSS");
    QElapsedTimer timer;
    qint64 held = 0;
    if (arm == "load"_L1) {
        ContainerManager manager;
        timer.start();
        manager.loadLibrary();
        manager.waitForRequests();
        QCoreApplication::sendPostedEvents();
        const qint64 nanos = timer.nsecsElapsed();
        for (const IconContainer &container : manager.containers())
            held += container.icons.size();
        std::printf("%lld %lld %lld\n", qlonglong(nanos), qlonglong(held),
            measureMemory ? qlonglong(statusKiB("VmHWM") - baseKiB) : -1LL);
        return 0;
    }
    QList<QByteArray> kept;
    timer.start();
    for (const QString &path : allFiles(library)) {
        const auto bytes = readRegularFile(QFile::encodeName(path), path, std::numeric_limits<qint64>::max(), nullptr);
        if (!bytes)
            return 1;
        kept.append(*bytes);
        held += bytes->size();
    }
    const qint64 nanos = timer.nsecsElapsed();
    std::printf("%lld %lld %lld\n", qlonglong(nanos), qlonglong(held),
        measureMemory ? qlonglong(statusKiB("VmHWM") - baseKiB) : -1LL);
    return 0;
}

struct ArmResult
{
    qint64 nanos = -1;
    qint64 held = 0;
    qint64 peakKiB = -1;
};

ArmResult spawnArm(const QString &arm, const QString &home, const QString &library)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, home);
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationFilePath(), { u"arm"_s, arm, library });
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        return {};
    const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 3)
        return {};
    return { fields.at(0).toLongLong(), fields.at(1).toLongLong(), fields.at(2).toLongLong() };
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? 0 : n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

double millis(double nanos)
{
    return nanos / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc >= 4 && qstrcmp(argv[1], "generate") == 0) {
        const LibraryKind &kind = libraryKinds[qstrcmp(argv[3], "small") == 0 ? 1 : 0];
        return generate(QString::fromLocal8Bit(argv[2]), kind, argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString());
    }
    if (argc == 4 && qstrcmp(argv[1], "arm") == 0)
        return runArm(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    BenchTable table;
    QString archive;
    QTemporaryDir archiveHome;
    for (const LibraryKind &kind : libraryKinds) {
        // Each library lies in a temporary home of its own, never in the user's.
        QTemporaryDir home;
        if (!home.isValid() || !archiveHome.isValid())
            return 1;
        qputenv("HOME", QFile::encodeName(home.path()));
        const std::optional<QString> library = ContainerManager::libraryFolderURL();
        if (!library)
            return 1;
        QStringList generateArguments { u"generate"_s, *library, kind.small ? u"small"_s : u"large"_s };
        if (archive.isEmpty()) {
            archive = archiveHome.filePath(u"Large.ravivovode"_s);
            generateArguments << archive;
        }
        QElapsedTimer timer;
        timer.start();
        if (QProcess::execute(QCoreApplication::applicationFilePath(), generateArguments) != 0) {
            std::printf("could not generate the library\n");
            return 1;
        }
        const QStringList files = allFiles(*library);
        // Warm the page cache; each file is dropped at once.
        qint64 totalBytes = 0;
        for (const QString &path : files) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                totalBytes += file.readAll().size();
        }
        std::printf("library of %s: %d containers × %d icons, %lld files, %.1f MiB (generated in %.1f s)\n", kind.name,
            containerCount, kind.iconsPerContainer, qlonglong(files.size()), totalBytes / 1048576.0,
            timer.nsecsElapsed() / 1e9);

        QList<double> loads, reads, peaks;
        for (int sample = 0; sample < kind.samples; ++sample) {
            // Alternate which arm goes first, so neither always finds the other's traces.
            for (const bool isLoad : { sample % 2 == 0, sample % 2 != 0 }) {
                const QString arm = isLoad ? u"load"_s : u"read"_s;
                const ArmResult result = spawnArm(arm, home.path(), *library);
                const qint64 expected = isLoad ? qint64(containerCount) * kind.iconsPerContainer : totalBytes;
                if (result.nanos < 0 || result.held != expected) {
                    std::printf("the %s arm failed (held %lld, expected %lld)\n", qPrintable(arm),
                        qlonglong(result.held), qlonglong(expected));
                    return 1;
                }
                (isLoad ? loads : reads).append(double(result.nanos));
                if (isLoad && result.peakKiB >= 0)
                    peaks.append(double(result.peakKiB) * 1024 / double(totalBytes));
            }
        }
        const double ratio = median(loads) / median(reads);
        const double memory = median(peaks);
        // Medians of fresh processes each.
        const QString name = QString::fromLatin1(kind.name);
        table.add(name + u": reading every byte"_s, millis(median(reads)), u"ms"_s, std::nullopt, 1);
        table.add(name + u": load (published)"_s, millis(median(loads)), u"ms"_s, std::nullopt, 1);
        table.add(name + u": load against the read"_s, ratio, u"×"_s, 1.2);
        if (!peaks.isEmpty()) {
            // Memory counts for large icons only: with files of a few hundred bytes, the records of
            // each icon outweigh its bytes whatever the load does.
            table.add(name + u": peak memory of a load against the files"_s, memory, u"×"_s,
                kind.small ? std::nullopt : std::optional(1.5), 3);
            table.add(name + u": peak memory of a load"_s, memory * double(totalBytes) / 1048576.0, u"MiB"_s,
                std::nullopt, 1);
        } else {
            std::printf("  peak memory: /proc/self/clear_refs is not available, not measured\n");
        }
    }

    // The import: an archive read and its icons built, with their previews.
    const qint64 archiveBytes = QFile(archive).size();
    QList<double> imports;
    qsizetype imported = 0;
    ContainerManager manager;
    for (int run = 0; run < samples; ++run) {
        QElapsedTimer timer;
        timer.start();
        const auto container = manager.importLegacyContainer(archive);
        imports.append(double(timer.nsecsElapsed()));
        imported = container ? container->icons.size() : -1;
    }
    // Well under a second.
    table.add(u"import of an archive of %1 MiB (%2 icons), median of %3"_s.arg(archiveBytes / 1048576.0, 0, 'f', 1)
                  .arg(imported)
                  .arg(samples),
        millis(median(imports)), u"ms"_s, 500, 1);
    return table.print();
}
