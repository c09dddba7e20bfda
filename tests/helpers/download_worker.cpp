// SPDX-License-Identifier: GPL-3.0-or-later
// Downloads one link the way the program does, in a process of its own, for tests that fill or
// limit the temporary folder. Prints what the download prints, then "outcome: " and how it ended,
// and "left: " and the names when the temporary folder is not left empty. Exits 0 when a container
// arrived, 1 when the download failed, 3 when it ended with nothing, 2 on a bad command line, 77
// when the machine cannot set up the test.
//
//   download_worker [--limit BYTES | --tmpfs BYTES] CA_FILE LINK

#include "library/containerdownload.h"

#include "support/filesizelimit.h"
#include "support/folderlisting.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A tmpfs of `size` bytes in a mount namespace of its own, made the temporary folder. Must run
// before any thread starts: a process with threads cannot leave its mount namespace.
std::optional<QByteArray> privateTemporaryFolder(const QByteArray &size)
{
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        std::printf("no mount namespace: %s\n", std::strerror(errno));
        return std::nullopt;
    }
    QByteArray root = QFile::encodeName(QDir::tempPath() + u"/small-tmp-XXXXXX"_s);
    if (!::mkdtemp(root.data()) || ::mount("tmpfs", root.constData(), "tmpfs", 0, "size=" + size) != 0) {
        std::printf("no tmpfs: %s\n", std::strerror(errno));
        return std::nullopt;
    }
    qputenv("TMPDIR", root);
    return root;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    std::unique_ptr<FileSizeLimit> limit;
    std::optional<QByteArray> tmpfs;
    if (arguments.size() == 4 && arguments.first() == u"--limit") {
        limit = std::make_unique<FileSizeLimit>(rlim_t(arguments.at(1).toLongLong()));
        arguments = arguments.mid(2);
    } else if (arguments.size() == 4 && arguments.first() == u"--tmpfs") {
        tmpfs = privateTemporaryFolder(arguments.at(1).toLatin1());
        if (!tmpfs)
            return 77;
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 2) {
        std::fprintf(stderr, "download_worker: unknown command line\n");
        return 2;
    }

    QCoreApplication app(argc, argv);
    ContainerDownload::Options options;
    options.fetchLimits.caFile = arguments.at(0);
    ContainerDownload::start(&app, arguments.at(1), options, [](ContainerDownload::Outcome outcome) {
        int exitCode = 3;
        if (outcome.container) {
            qint64 bytes = 0;
            for (const Icon &icon : std::as_const(outcome.container->icons))
                bytes += icon.primaryData().size();
            std::printf("outcome: %lld icons, %lld bytes\n", qlonglong(outcome.container->icons.size()), bytes);
            exitCode = 0;
        } else if (outcome.error == ContainerError::downloadFailed) {
            std::printf("outcome: download failed\nreason: %s\n", qPrintable(outcome.reason));
            exitCode = 1;
        } else {
            std::printf("outcome: nothing\n");
        }
        const QStringList left = folderListing(QDir::tempPath());
        if (!left.isEmpty())
            std::printf("left: %s\n", qPrintable(left.join(u", "_s)));
        std::fflush(stdout);
        QCoreApplication::exit(exitCode);
    });
    const int exitCode = app.exec();
    if (tmpfs && ::umount(tmpfs->constData()) == 0)
        ::rmdir(tmpfs->constData());
    return exitCode;
}
