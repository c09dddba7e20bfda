// SPDX-License-Identifier: GPL-3.0-or-later
// Writes containers the way the program does, in a process of its own, for tests that limit or
// fill the disk, or kill the writer part-way. Prints what the writers print; exits 0 when the write
// succeeded, 1 when it failed, 2 on a bad command line, 77 when the machine cannot set up the test.
// A save says on standard error when it starts and how long it took.
//
//   save_worker [--limit BYTES] save LIBRARY GENERATION ICONS ICON_BYTES
//   save_worker [--limit BYTES] export FOLDER GENERATION ICONS ICON_BYTES
//   save_worker [--limit BYTES] picture HOME GENERATION ICON_BYTES
//   save_worker full-disk GENERATION ICONS ICON_BYTES

#include "library/libraryreader.h"
#include "library/librarywriter.h"
#include "model/containerdocument.h"
#include "platform/desktop/giofileiconsetter.h"

#include "support/filesizelimit.h"
#include "support/savegeneration.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int saveInto(const QString &library, int generation, int icons, qsizetype iconBytes)
{
    const IconContainer container = SaveGeneration::container(generation, icons, iconBytes);
    // On the unbuffered channel, so that a test that kills the writer knows whether the kill landed
    // inside the save, and how long a whole one takes.
    std::fprintf(stderr, "saving\n");
    QElapsedTimer timer;
    timer.start();
    const bool saved = bool(LibraryWriter::saveContainer(container, library));
    std::fprintf(stderr, "saved in %lld ms\n", static_cast<long long>(timer.elapsed()));
    return saved ? 0 : 1;
}

int exportInto(const QString &folder, int generation, int icons, qsizetype iconBytes)
{
    const auto wrapper = containerFileWrapper(SaveGeneration::container(generation, icons, iconBytes));
    if (!wrapper)
        return 1;
    QString message;
    if (wrapper.value().write(folder, &message))
        return 0;
    std::printf("%s\n", qPrintable(message));
    return 1;
}

int storePicture(const QString &home, int generation, qsizetype iconBytes)
{
    qputenv("HOME", QFile::encodeName(home));
    QStandardPaths::setTestModeEnabled(true);
    const QString item = home + u"/item"_s;
    QDir().mkpath(item);
    GioFileIconSetter setter;
    // Whether the metadata can be set is another matter; the picture is stored first.
    setter.setIcon(SaveGeneration::picture(generation, iconBytes), item);
    return 0;
}

// A tmpfs of its own, in a mount namespace of its own, filled to the last byte between a save that
// fits and one that cannot.
int fullDisk(int generation, int icons, qsizetype iconBytes)
{
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        std::printf("no mount namespace: %s\n", std::strerror(errno));
        return 77;
    }
    QByteArray root = QFile::encodeName(QDir::tempPath() + u"/full-disk-XXXXXX"_s);
    if (!::mkdtemp(root.data()) || ::mount("tmpfs", root.constData(), "tmpfs", 0, "size=1m") != 0) {
        std::printf("no tmpfs: %s\n", std::strerror(errno));
        return 77;
    }
    const QString library = QFile::decodeName(root) + u"/Library"_s;
    QDir().mkpath(library);
    if (saveInto(library, generation - 1, icons, iconBytes) != 0) {
        std::printf("the first save did not fit\n");
        return 3;
    }
    {
        QFile filler(QFile::decodeName(root) + u"/filler"_s);
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) { }
    }
    const int saved = saveInto(library, generation, icons, iconBytes);
    const auto loaded = LibraryReader::readLibrary(library, [](const IconLookup &) {});
    const bool intact = loaded && loaded->size() == 1
        && SaveGeneration::generationOf(loaded->first(), icons, iconBytes) == generation - 1;
    std::printf("%s\n", intact ? "old container intact" : "old container damaged");
    ::umount(root.constData());
    ::rmdir(root.constData());
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    std::unique_ptr<FileSizeLimit> limit;
    if (arguments.size() >= 2 && arguments.first() == u"--limit") {
        limit = std::make_unique<FileSizeLimit>(rlim_t(arguments.at(1).toLongLong()));
        arguments = arguments.mid(2);
    }
    const auto number = [&arguments](int index) { return arguments.value(index).toInt(); };
    const QString mode = arguments.value(0);
    if (mode == u"save" && arguments.size() == 5)
        return saveInto(arguments.at(1), number(2), number(3), number(4));
    if (mode == u"export" && arguments.size() == 5)
        return exportInto(arguments.at(1), number(2), number(3), number(4));
    if (mode == u"picture" && arguments.size() == 4)
        return storePicture(arguments.at(1), number(2), number(3));
    if (mode == u"full-disk" && arguments.size() == 4)
        return fullDisk(number(1), number(2), number(3));
    std::fprintf(stderr, "save_worker: unknown command line\n");
    return 2;
}
