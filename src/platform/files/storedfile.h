// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class StoredFileCache;

// A regular file whose bytes are read when they are asked for, not when it is found, and only
// while it is still the file that was found: same device, inode, size, modification and change
// time. A
// file replaced (our own saves write new files), truncated, changed or removed since gives no
// bytes and a message, never other bytes; it is read with pread(), never mapped, so another
// program that shrinks it cannot crash the reader. Safe from any thread: each read opens the file
// afresh and checks it before and after reading.
class StoredFile
{
public:
    struct Identity
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        // A file rewritten in place can have its modification time put back; not this.
        qint64 changedNs = 0;
        friend bool operator==(const Identity &, const Identity &) = default;
    };

    // A file just found: the file, and its first bytes, read on the way.
    struct Found
    {
        std::shared_ptr<const StoredFile> file;
        QByteArray start;
    };

    // Opens the regular file at `path` (the bytes on disk), notes what it is and reads its first
    // `startLength` bytes. None, with readRegularFile()'s message naming `displayName`, when it
    // cannot be opened or read, is no regular file or holds more than `maxBytes`. Whole reads are
    // kept in `cache`, when there is one.
    static std::optional<Found> find(const QByteArray &path, const QString &displayName, qint64 maxBytes,
        qsizetype startLength, std::shared_ptr<StoredFileCache> cache, QString *errorMessage);

    StoredFile(QByteArray path, QString displayName, Identity identity, std::shared_ptr<StoredFileCache> cache);

    const QByteArray &path() const { return m_path; }
    const Identity &identity() const { return m_identity; }
    qint64 size() const { return m_identity.size; }
    // A key for what the file holds, the same for every StoredFile of the same identity (within
    // one process): pictures cached by content survive a reload without reading the file.
    quint64 contentKey() const;

    // `length` bytes from `offset`; none, with a message, when the range lies outside the file or
    // the file is no longer the one found or cannot be read.
    std::optional<QByteArray> read(qint64 offset, qint64 length, QString *errorMessage = nullptr) const;
    // The whole file, through the cache.
    std::optional<QByteArray> readAll(QString *errorMessage = nullptr) const;

private:
    QByteArray m_path;
    QString m_displayName;
    Identity m_identity;
    quint64 m_id;
    std::shared_ptr<StoredFileCache> m_cache;
};
