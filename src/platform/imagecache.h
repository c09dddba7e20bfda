// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QSize>

#include <list>

// The one cache of decoded pixels that every image representation shares. Entries are keyed by
// the representation's source and a pixel size (its own, or a size it was scaled to for drawing).
// Guarantees: safe to use from any thread; byteCount() never exceeds maxBytes() after a call
// returns (least recently used entries go first, an image larger than the bound is not kept);
// a source's entries go when the source does. Images handed out stay valid after eviction.
// instance() is the one the representations share; other caches of pictures (a thumbnail
// provider's, keyed by content) make their own.
class ImageCache
{
public:
    static constexpr qint64 defaultMaxBytes = qint64(256) << 20;

    ImageCache() = default;
    static ImageCache &instance();

    // A null image when there is no entry; a hit makes the entry the most recently used.
    QImage find(quint64 source, QSize size);
    void insert(quint64 source, QSize size, const QImage &image);
    void removeSource(quint64 source);
    void clear();

    qint64 byteCount() const;
    qint64 maxBytes() const;
    // Evicts at once down to the new bound.
    void setMaxBytes(qint64 bytes);

private:
    struct Entry
    {
        quint64 source;
        QSize size;
        QImage image;
        qint64 cost;
    };
    using Lru = std::list<Entry>;

    Lru::iterator findLocked(quint64 source, QSize size);
    void evictLocked();
    void eraseLocked(Lru::iterator entry);

    mutable QMutex m_mutex;
    Lru m_lru; // most recently used first
    QHash<quint64, QList<Lru::iterator>> m_bySource; // a source has one or two entries
    qint64 m_bytes = 0;
    qint64 m_maxBytes = defaultMaxBytes;
};
