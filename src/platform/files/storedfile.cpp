// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/storedfile.h"

#include "platform/files/nativefiles.h"
#include "platform/files/storedfilecache.h"
#include "platform/text/translationcontext.h"

#include <QHashFunctions>

#include <atomic>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<quint64> nextFileId { 1 };

constexpr TranslationContext tr { "StoredFile" };

StoredFile::Identity identityOf(const struct stat &status)
{
    return StoredFile::Identity { quint64(status.st_dev), quint64(status.st_ino), qint64(status.st_size),
        qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
        qint64(status.st_ctim.tv_sec) * 1'000'000'000 + status.st_ctim.tv_nsec };
}

// Closes a descriptor when it goes out of scope.
struct Closer
{
    int fd;
    ~Closer()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Every read here names the range it needs. The device's read-ahead, which can be megabytes,
// would otherwise read most of a large icon file from disk to give its first 32 KiB (a load's
// header read), so that a cold load reads the whole library.
void readOnlyWhatIsAsked(int fd)
{
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
}

} // namespace

std::optional<StoredFile::Found> StoredFile::find(const QByteArray &path, const QString &displayName, qint64 maxBytes,
    qsizetype startLength, std::shared_ptr<StoredFileCache> cache, QString *errorMessage)
{
    struct stat status
    {
    };
    const Closer fd { openRegularFile(path, displayName, maxBytes, &status, errorMessage) };
    if (fd.fd < 0)
        return std::nullopt;
    const Identity identity = identityOf(status);
    readOnlyWhatIsAsked(fd.fd);
    auto start
        = readFileRange(fd.fd, 0, qsizetype(qMin<qint64>(startLength, identity.size)), displayName, errorMessage);
    if (!start)
        return std::nullopt;
    return Found { std::make_shared<const StoredFile>(path, displayName, identity, std::move(cache)),
        *std::move(start) };
}

StoredFile::StoredFile(QByteArray path, QString displayName, Identity identity, std::shared_ptr<StoredFileCache> cache)
    : m_path(std::move(path))
    , m_displayName(std::move(displayName))
    , m_identity(identity)
    , m_id(nextFileId.fetch_add(1, std::memory_order_relaxed))
    , m_cache(std::move(cache))
{ }

quint64 StoredFile::contentKey() const
{
    const quint64 key = qHashMulti(QHashSeed::globalSeed(), m_identity.device, m_identity.inode, m_identity.size,
        m_identity.modifiedNs, m_identity.changedNs);
    return key == 0 ? 1 : key;
}

std::optional<QByteArray> StoredFile::read(qint64 offset, qint64 length, QString *errorMessage) const
{
    const auto fail = [&](const QString &reason) {
        if (errorMessage)
            *errorMessage = unreadableFileMessage(m_displayName, reason);
        return std::nullopt;
    };
    if (offset < 0 || length < 0 || offset > m_identity.size || length > m_identity.size - offset)
        return fail(tr("it is shorter than it was"));
    struct stat status
    {
    };
    const Closer fd { openRegularFile(
        m_path, m_displayName, std::numeric_limits<qint64>::max(), &status, errorMessage) };
    if (fd.fd < 0)
        return std::nullopt;
    if (identityOf(status) != m_identity)
        return fail(tr("it has changed since the library was read"));
    readOnlyWhatIsAsked(fd.fd);
    auto bytes = readFileRange(fd.fd, offset, qsizetype(length), m_displayName, errorMessage);
    if (!bytes)
        return std::nullopt;
    // Changed while it was read: what was read may be part old, part new.
    if (bytes->size() != length || ::fstat(fd.fd, &status) != 0 || identityOf(status) != m_identity)
        return fail(tr("it has changed since the library was read"));
    return bytes;
}

std::optional<QByteArray> StoredFile::readAll(QString *errorMessage) const
{
    if (m_cache) {
        if (auto cached = m_cache->find(m_id))
            return cached;
    }
    auto bytes = read(0, m_identity.size, errorMessage);
    if (bytes && m_cache)
        m_cache->insert(m_id, *bytes);
    return bytes;
}
