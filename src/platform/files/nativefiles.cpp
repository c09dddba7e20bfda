// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/nativefiles.h"

#include "platform/text/translationcontext.h"
#include "platform/text/utf8text.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr TranslationContext tr { "NativeFiles" };

void setError(QString *errorMessage, const QString &message)
{
    if (errorMessage)
        *errorMessage = message;
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

FolderMember::Kind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return FolderMember::Kind::regularFile;
    if (S_ISDIR(mode))
        return FolderMember::Kind::folder;
    return FolderMember::Kind::other;
}

// Closes a descriptor when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

} // namespace

std::optional<QList<FolderMember>> listVisibleMembers(const QByteArray &folder, QString *errorMessage)
{
    return listMembers(folder, false, std::numeric_limits<qsizetype>::max(), errorMessage);
}

std::optional<QList<FolderMember>> listMembers(
    const QByteArray &folder, bool includeHidden, qsizetype maxMembers, QString *errorMessage)
{
    const QString folderName = QFile::decodeName(folder);
    DIR *dir = ::opendir(folder.constData());
    if (!dir) {
        setError(errorMessage, tr("The folder “%1” couldn’t be read: %2").arg(folderName, systemError(errno)));
        return std::nullopt;
    }
    const int dirFd = ::dirfd(dir);
    QList<FolderMember> members;
    int failure = 0;
    while (true) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            failure = errno;
            break;
        }
        const QByteArrayView nativeName(entry->d_name);
        if (nativeName == "." || nativeName == ".." || (!includeHidden && nativeName.startsWith('.')))
            continue;
        if (members.size() >= maxMembers) {
            ::closedir(dir);
            setError(errorMessage, tr("The folder “%1” holds too many files.").arg(QFileInfo(folderName).fileName()));
            return std::nullopt;
        }
        FolderMember member;
        // Most names are ASCII; the rest are UTF-8, as QFile::encodeName() spells them.
        const bool ascii = std::all_of(nativeName.begin(), nativeName.end(), [](char c) { return uchar(c) < 0x80; });
        member.name = ascii ? QString::fromLatin1(nativeName) : textFromUtf8(nativeName);
        member.nativePath.reserve(folder.size() + 1 + nativeName.size());
        member.nativePath.append(folder).append('/').append(nativeName);
        switch (entry->d_type) {
        case DT_REG:
            member.kind = FolderMember::Kind::regularFile;
            break;
        case DT_DIR:
            member.kind = FolderMember::Kind::folder;
            break;
        case DT_UNKNOWN: {
            // Some file systems do not say; ask without following a link.
            struct stat status
            {
            };
            if (::fstatat(dirFd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0)
                member.kind = kindOfMode(status.st_mode);
            else
                member.kindError = tr("The file “%1” couldn’t be read: %2").arg(member.name, systemError(errno));
            break;
        }
        default:
            member.kind = FolderMember::Kind::other;
            break;
        }
        members.append(std::move(member));
    }
    ::closedir(dir);
    if (failure != 0) {
        setError(errorMessage, tr("The folder “%1” couldn’t be read: %2").arg(folderName, systemError(failure)));
        return std::nullopt;
    }
    std::sort(members.begin(), members.end(), [](const FolderMember &a, const FolderMember &b) {
        // Two names that are not valid UTF-8 may decode alike; their bytes still order them.
        return a.name != b.name ? a.name < b.name : a.nativePath < b.nativePath;
    });
    return members;
}

std::optional<QByteArray> readRegularFile(
    const QByteArray &path, const QString &displayName, qint64 maxBytes, QString *errorMessage)
{
    struct stat status
    {
    };
    const Descriptor fd(openRegularFile(path, displayName, maxBytes, &status, errorMessage));
    if (fd.get() < 0)
        return std::nullopt;
    // One allocation of the size the file has; a file that shrinks meanwhile gives what is there,
    // one that grows gives its first st_size bytes.
    return readFileRange(fd.get(), 0, qsizetype(status.st_size), displayName, errorMessage);
}

int openRegularFile(
    const QByteArray &path, const QString &displayName, qint64 maxBytes, struct stat *status, QString *errorMessage)
{
    const auto fail = [&](const QString &reason) {
        setError(errorMessage, unreadableFileMessage(displayName, reason));
        return -1;
    };
    // Non-blocking, so that a pipe put in the file's place after it was listed cannot stall the open.
    Descriptor fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK));
    if (fd.get() < 0)
        return fail(systemError(errno));
    if (::fstat(fd.get(), status) != 0)
        return fail(systemError(errno));
    if (!S_ISREG(status->st_mode))
        return fail(tr("it is not a regular file"));
    if (status->st_size > maxBytes)
        return fail(tr("it is too large"));
    return fd.release();
}

std::optional<QByteArray> readFileRange(
    int fd, qint64 offset, qsizetype length, const QString &displayName, QString *errorMessage)
{
    QByteArray bytes(length, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::pread(fd, bytes.data() + filled, size_t(bytes.size() - filled), off_t(offset + filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            setError(errorMessage, unreadableFileMessage(displayName, systemError(errno)));
            return std::nullopt;
        }
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
}

QString unreadableFileMessage(const QString &displayName, const QString &reason)
{
    return tr("The file “%1” couldn’t be read: %2").arg(displayName, reason);
}
