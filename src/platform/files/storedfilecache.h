// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCache>
#include <QMutex>

#include <optional>

// The whole contents of stored files, kept after a read so that a drag that asks for an icon's
// bytes several times reads its file once. Guarantees: safe from any thread; holds at most
// maxBytes() of contents (least recently used go first; contents larger than that are not kept).
// The files of one library load share one cache, so it goes with them.
class StoredFileCache
{
public:
    static constexpr qint64 defaultMaxBytes = qint64(64) << 20;

    explicit StoredFileCache(qint64 maxBytes = defaultMaxBytes);

    std::optional<QByteArray> find(quint64 file);
    void insert(quint64 file, const QByteArray &contents);
    qint64 byteCount() const;
    qint64 maxBytes() const;

private:
    mutable QMutex m_mutex;
    QCache<quint64, QByteArray> m_contents;
};
