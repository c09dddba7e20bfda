// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a library of 100 containers of 100 icons each, against reading the same files into
// memory, and importing an older archive of about 50 MB.
//
// The library is generated once into a temporary folder by a child run of this program, so that
// none of the generator's memory counts towards the load's. The page cache cannot be dropped
// without privileges, so every file is read once before anything is measured: both the load and
// the plain read run warm. Targets: the load at most 1.5 times the read, its peak memory (VmHWM,
// reset before the load) at most 1.5 times the files' size, and the import well under a second.

#include "support/icnsbuilder.h"
#include "support/typedstreamwriter.h"

#include "library/containermanager.h"
#include "model/containerjson.h"
#include "platform/imagecache.h"
#include "platform/nativefiles.h"

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
constexpr int iconsPerContainer = 100;
// Distinct pictures; the icons of the library cycle through them.
constexpr int variantCount = 24;
constexpr qint64 archiveTarget = qint64(50) << 20;

// An ICNS file as the system's own icons ship: PNG elements from 16 to 1024 px, with the 2x ones.
QByteArray makeIcns(int variant)
{
    static const QList<QPair<QByteArray, int>> elements { { "icp4", 16 }, { "icp5", 32 }, { "icp6", 64 },
        { "ic07", 128 }, { "ic08", 256 }, { "ic09", 512 }, { "ic10", 1024 }, { "ic11", 32 }, { "ic12", 64 },
        { "ic13", 256 }, { "ic14", 512 } };
    const QColor colour = QColor::fromHsv((variant * 37) % 360, 180, 220);
    IcnsBuilder builder;
    for (const auto &[type, side] : elements)
        builder.add(type, IcnsBuilder::png(IcnsBuilder::pattern(side, side, colour)));
    return builder.build();
}

QByteArray makePng(int variant)
{
    return IcnsBuilder::png(IcnsBuilder::pattern(512, 512, QColor::fromHsv((variant * 53) % 360, 200, 200)), 144);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The child's work: the library's container folders and the archive.
int generate(const QString &library, const QString &archivePath)
{
    QList<QByteArray> icns, png;
    for (int i = 0; i < variantCount; ++i) {
        icns.append(makeIcns(i));
        png.append(makePng(i));
    }
    for (int c = 0; c < containerCount; ++c) {
        const QString folder = library + u"/Collection %1.ravivovode"_s.arg(c, 3, 10, QChar(u'0'));
        if (!QDir().mkpath(folder))
            return 1;
        IconContainer container { .title = u"Collection %1"_s.arg(c), .authorName = u"Ann"_s };
        for (int i = 0; i < iconsPerContainer; ++i) {
            // Two in three icons are ICNS files, the rest PNG images.
            const bool isIcns = i % 3 != 2;
            Icon entry;
            entry.name = u"Icon %1"_s.arg(i);
            entry.type = isIcns ? IconFileType::icns : IconFileType::image;
            entry.author = u"Ann"_s;
            entry.copyright = u"© Ann"_s;
            entry.filename = entry.name + (isIcns ? u".icns"_s : u".png"_s);
            const int variant = (c * iconsPerContainer + i) % variantCount;
            if (!writeFile(folder + u'/' + *entry.filename, isIcns ? icns.at(variant) : png.at(variant)))
                return 1;
            container.icons.prepend(entry); // the stored order is not the name order
        }
        if (!writeFile(folder + u"/info.json"_s, encodeContainerJson(container).value()))
            return 1;
    }

    // An older archive of ICNS icons, as large as the target.
    ArchivedValue::Dictionary icons;
    ArchivedValue::Array order;
    const ArchivedValue typeKey = ts::str("Type"), icnsType = ts::str("IcnsFile"), dataKey = ts::str("IcnsData");
    qint64 size = 0;
    for (int i = 0; size < archiveTarget; ++i) {
        const ArchivedValue name = ts::str(u"Icon %1"_s.arg(i));
        const QByteArray &data = icns.at(i % variantCount);
        icons.append({ name, ts::dict({ { typeKey, icnsType }, { dataKey, ts::bytes(data) } }) });
        order.prepend(name);
        size += data.size();
    }
    const ArchivedValue root = ts::dict({ { "Icons", ArchivedValue::dictionary(icons) },
        { "IconOrder", ArchivedValue::array(order) }, { "AuthorName", ts::str("Ann") } });
    return writeFile(archivePath, TypedStreamWriter::archive(root)) ? 0 : 1;
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

// Reads every file into memory and keeps it there, as the load does; the bytes read. Once with
// QFile::readAll, once with one read() into a buffer of the file's size, whichever is faster.
qint64 readAll(const QStringList &files, QList<QByteArray> &kept, bool plainRead)
{
    qint64 total = 0;
    for (const QString &path : files) {
        if (plainRead) {
            const auto bytes
                = readRegularFile(QFile::encodeName(path), path, std::numeric_limits<qint64>::max(), nullptr);
            if (!bytes)
                return -1;
            kept.append(*bytes);
        } else {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return -1;
            kept.append(file.readAll());
        }
        total += kept.constLast().size();
    }
    return total;
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

double millis(qint64 nanos)
{
    return double(nanos) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "generate") == 0)
        return generate(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    // The library folder lies in a temporary home, never in the user's.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", QFile::encodeName(home.path()));
    QStandardPaths::setTestModeEnabled(true);
    const std::optional<QString> library = ContainerManager::libraryFolderURL();
    const QString archive = home.filePath(u"Large.ravivovode"_s);
    if (!library)
        return 1;

    QElapsedTimer timer;
    timer.start();
    if (QProcess::execute(QCoreApplication::applicationFilePath(), { u"generate"_s, *library, archive }) != 0) {
        std::printf("could not generate the library\n");
        return 1;
    }
    const QStringList files = allFiles(*library);
    std::printf("generated %lld files in %.1f s\n", qlonglong(files.size()), timer.nsecsElapsed() / 1e9);

    // Warm the page cache; each file is dropped at once, so the heap does not grow.
    qint64 totalBytes = 0;
    for (const QString &path : files) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        totalBytes += file.readAll().size();
    }
    std::printf("library: %d containers × %d icons, %lld files, %.1f MiB\n", containerCount, iconsPerContainer,
        qlonglong(files.size()), totalBytes / 1048576.0);

    ContainerManager &manager = ContainerManager::shared();
    constexpr int runs = 3;
    qint64 bestLoad = std::numeric_limits<qint64>::max();
    qint64 bestPublished = std::numeric_limits<qint64>::max();
    qint64 bestReadAll = std::numeric_limits<qint64>::max();
    qint64 bestPlainRead = std::numeric_limits<qint64>::max();
    qint64 peakKiB = -1, baseKiB = -1;
    qsizetype iconCount = 0;
    for (int run = 0; run < runs; ++run) {
        const bool measureMemory = run == 0 && resetPeakMemory();
        if (measureMemory)
            baseKiB = statusKiB("VmRSS");
        timer.restart();
        manager.loadLibrary();
        const qint64 load = timer.nsecsElapsed();
        QCoreApplication::sendPostedEvents();
        const qint64 published = timer.nsecsElapsed();
        if (measureMemory)
            peakKiB = statusKiB("VmHWM");
        bestLoad = std::min(bestLoad, load);
        bestPublished = std::min(bestPublished, published);
        iconCount = 0;
        for (const IconContainer &container : manager.containers())
            iconCount += container.icons.size();
        if (ImageCache::instance().byteCount() != 0) {
            std::printf("the load decoded pixels\n");
            return 1;
        }
        manager.setContainers({});

        for (const bool plainRead : { false, true }) {
            QList<QByteArray> kept;
            timer.restart();
            if (readAll(files, kept, plainRead) != totalBytes)
                return 1;
            qint64 &best = plainRead ? bestPlainRead : bestReadAll;
            best = std::min(best, timer.nsecsElapsed());
        }
    }
    if (manager.containers().size() != 0 || iconCount != containerCount * iconsPerContainer) {
        std::printf("loaded %lld icons, expected %d\n", qlonglong(iconCount), containerCount * iconsPerContainer);
        return 1;
    }

    const qint64 bestRead = std::min(bestReadAll, bestPlainRead);
    const double loadRatio = double(bestPublished) / double(bestRead);
    std::printf("\nbest of %d runs, warm cache:\n", runs);
    std::printf("read all files, QFile::readAll: %8.1f ms\n", millis(bestReadAll));
    std::printf("read all files, one read() each: %7.1f ms\n", millis(bestPlainRead));
    std::printf("loadLibrary() returns after:   %8.1f ms\n", millis(bestLoad));
    std::printf(
        "  … and its results published: %8.1f ms  (%.2f × the read, limit 1.50)\n", millis(bestPublished), loadRatio);
    const double memoryRatio = peakKiB < 0 ? 0 : double(peakKiB - baseKiB) * 1024 / double(totalBytes);
    if (peakKiB >= 0) {
        std::printf("peak memory of the first load: %.1f MiB above the %.1f MiB before it (%.2f × the files, "
                    "limit 1.50)\n",
            (peakKiB - baseKiB) / 1024.0, baseKiB / 1024.0, memoryRatio);
    } else {
        std::printf("peak memory: /proc/self/clear_refs is not available, not measured\n");
    }

    // The import: an archive read and its icons built, with their previews.
    const qint64 archiveBytes = QFile(archive).size();
    qint64 bestImport = std::numeric_limits<qint64>::max();
    qsizetype imported = 0;
    for (int run = 0; run < 5; ++run) {
        timer.restart();
        const auto container = manager.importLegacyContainer(archive);
        bestImport = std::min(bestImport, timer.nsecsElapsed());
        imported = container ? container->icons.size() : -1;
    }
    std::printf("\nimport of an archive of %.1f MiB (%lld icons): %.1f ms, best of 5 (limit: well under 1000 ms)\n",
        archiveBytes / 1048576.0, qlonglong(imported), millis(bestImport));

    const bool ok = loadRatio <= 1.5 && memoryRatio <= 1.5 && bestImport < qint64(500) * 1000 * 1000;
    std::printf("%s\n", ok ? "OK" : "FAIL");
    return ok ? 0 : 1;
}
