// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/safewrite.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void setReason(QString *reason, int error)
{
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(error));
}

bool writeAll(int fd, QByteArrayView bytes, int *error)
{
    if (!writeToDescriptor(fd, bytes, error))
        return false;
    if (::fsync(fd) != 0 && errno != EINVAL) {
        *error = errno;
        return false;
    }
    return true;
}

// Writes into a file opened with `flags`; a file that could not be completed is removed again.
bool writeFile(const QByteArray &path, QByteArrayView bytes, int flags, QString *reason)
{
    const int fd = ::open(path.constData(), flags | O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        setReason(reason, errno);
        return false;
    }
    int error = 0;
    bool done = writeAll(fd, bytes, &error);
    // Some file systems report a failed write only when the file is closed.
    if (::close(fd) != 0 && done) {
        error = errno;
        done = false;
    }
    if (!done) {
        ::unlink(path.constData());
        setReason(reason, error);
    }
    return done;
}

QByteArray randomSuffix()
{
    static thread_local std::mt19937_64 generator { std::random_device {}() };
    return QByteArray::number(quint64(generator()), 36);
}

} // namespace

bool writeToDescriptor(int fd, QByteArrayView bytes, int *error)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            *error = errno;
            return false;
        }
        done += written;
    }
    return true;
}

bool writeNewFile(const QString &path, QByteArrayView bytes, QString *reason)
{
    return writeFile(QFile::encodeName(path), bytes, O_EXCL, reason);
}

bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *reason)
{
    const QByteArray target = QFile::encodeName(path);
    const QFileInfo info(path);
    // Hidden and short, so that it fits beside a name of any length and no reader takes it.
    const QByteArray temporary = QFile::encodeName(info.absolutePath()) + "/.glimbar-write-" + randomSuffix();
    if (!writeFile(temporary, bytes, O_EXCL, reason))
        return false;
    if (::rename(temporary.constData(), target.constData()) != 0) {
        setReason(reason, errno);
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

bool replaceFolder(const QString &from, const QString &to, QString *reason)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST) {
        if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE) == 0) {
            // `from` now holds the old folder.
            removeTree(from);
            return true;
        }
    }
    if (errno != EINVAL && errno != ENOSYS) {
        setReason(reason, errno);
        return false;
    }
    // A file system without the flags: move the old folder aside, the new one in, and the old one
    // back should that fail. A process killed between the two leaves both, under their own names.
    struct stat status
    {
    };
    if (::lstat(target.constData(), &status) != 0) {
        if (errno == ENOENT && ::rename(source.constData(), target.constData()) == 0)
            return true;
        setReason(reason, errno);
        return false;
    }
    const QByteArray aside = source + "-old";
    if (::rename(target.constData(), aside.constData()) != 0) {
        setReason(reason, errno);
        return false;
    }
    if (::rename(source.constData(), target.constData()) != 0) {
        const int error = errno;
        ::rename(aside.constData(), target.constData());
        setReason(reason, error);
        return false;
    }
    removeTree(QFile::decodeName(aside));
    return true;
}

void removeTree(const QString &path)
{
    // remove_all removes links themselves, never what they point to.
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(path).toStdString()), error);
}
