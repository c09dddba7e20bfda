// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/safewrite.h"

#include "platform/files/nativefiles.h"
#include "platform/files/stagingfolder.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

#include <cerrno>
#include <climits>
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

// What replaceFolder() adds to the name of its `from` for the folder moved aside and for the record
// of the destination's name.
constexpr char asideSuffix[] = "-old";
constexpr char recordSuffix[] = "-dest";

// Whether `path` is there as the user's own member of the kind `type` (S_IFDIR, S_IFREG).
bool isOwn(const QByteArray &path, mode_t type)
{
    struct stat status
    {
    };
    return ::lstat(path.constData(), &status) == 0 && (status.st_mode & S_IFMT) == type && status.st_uid == ::getuid();
}

// Anything but a clear "not there" counts as there, so that nothing is moved over it.
bool exists(const QByteArray &path)
{
    struct stat status
    {
    };
    return ::lstat(path.constData(), &status) == 0 || errno != ENOENT;
}

// A record is one plain name and a line end; a record cut short by a kill has no line end.
bool isRecordedName(const QByteArray &record)
{
    if (record.size() < 2 || !record.endsWith('\n'))
        return false;
    const QByteArray name = record.chopped(1);
    return name != "." && name != ".." && !name.contains('/') && !name.contains('\0') && !name.contains('\n');
}

// Makes the names inside `folder` durable; 0, or the errno.
int syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
    ::close(fd);
    return error;
}

// The name of a temporary of writeFileAtomically() starts so, followed by its writer's process id,
// as StagingFolder names its folders, so that sweep() can tell a dead writer's from a live one's.
constexpr QStringView writePrefix = u".glimbar-write-";

// Removes, once per folder and process, what writers that no longer run left in `folder`: a
// temporary of a killed write is never renamed into place by anyone. Once is enough, as a process
// leaves none of its own behind while it runs; sweeping at each write would list a folder of
// thousands of exported files as often.
void sweepDeadWrites(const QString &folder)
{
    static QMutex mutex;
    static QSet<QString> swept;
    {
        const QMutexLocker locker(&mutex);
        if (swept.contains(folder))
            return;
        swept.insert(folder);
    }
    StagingFolder::sweep(folder, writePrefix);
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
    const QString folder = info.absolutePath();
    sweepDeadWrites(folder);
    // Hidden and short, so that it fits beside a name of any length and no reader takes it.
    const QByteArray temporary
        = QFile::encodeName(folder + u'/' + writePrefix.toString() + QString::number(::getpid()) + u'-')
        + randomSuffix();
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
    // back should that fail.
    struct stat status
    {
    };
    if (::lstat(target.constData(), &status) != 0) {
        if (errno == ENOENT && ::rename(source.constData(), target.constData()) == 0)
            return true;
        setReason(reason, errno);
        return false;
    }
    // Recorded before anything moves, and removed last: while it exists, `from` is whole and the
    // destination's name is known, whatever a kill leaves.
    const QByteArray record = source + recordSuffix;
    if (const int error = syncFolder(source); error != 0) {
        setReason(reason, error);
        return false;
    }
    if (!writeFile(record, target.mid(target.lastIndexOf('/') + 1) + '\n', O_EXCL, reason))
        return false;
    const QByteArray aside = source + asideSuffix;
    if (::rename(target.constData(), aside.constData()) != 0) {
        setReason(reason, errno);
        ::unlink(record.constData());
        return false;
    }
    if (::rename(source.constData(), target.constData()) != 0) {
        const int error = errno;
        // Should even the way back fail, the record lets the next sweep put the old folder back.
        if (::rename(aside.constData(), target.constData()) == 0)
            ::unlink(record.constData());
        setReason(reason, error);
        return false;
    }
    removeTree(QFile::decodeName(aside));
    ::unlink(record.constData());
    return true;
}

void settleReplace(const QString &staging)
{
    const QByteArray source = QFile::encodeName(staging);
    const QByteArray aside = source + asideSuffix;
    const QByteArray record = source + recordSuffix;
    bool recorded = false;
    if (isOwn(record, S_IFREG)) {
        const auto name = readRegularFile(record, QString(), NAME_MAX + 1, nullptr);
        recorded = name && isRecordedName(*name);
        if (recorded) {
            const QByteArray target = source.left(source.lastIndexOf('/') + 1) + name->chopped(1);
            if (!exists(target)) {
                if (!(isOwn(source, S_IFDIR) && ::rename(source.constData(), target.constData()) == 0)
                    && isOwn(aside, S_IFDIR))
                    ::rename(aside.constData(), target.constData());
                if (!exists(target))
                    return;
            }
        }
    }
    if (isOwn(source, S_IFDIR))
        removeTree(staging);
    else if (isOwn(source, S_IFREG))
        ::unlink(source.constData());
    // Without a record the old folder may be the only copy there is; it stays.
    if (recorded && isOwn(aside, S_IFDIR))
        removeTree(QFile::decodeName(aside));
    if (isOwn(record, S_IFREG))
        ::unlink(record.constData());
}

void removeTree(const QString &path)
{
    // remove_all removes links themselves, never what they point to.
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(path).toStdString()), error);
}
