// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QSize>

#include <list>
#include <memory>

// A bounded cache of decoded pixels. Image representations keep their pixels in the one they are
// handed when drawn, keyed by their source and a pixel size (its own, or a size it was scaled to
// for drawing); other caches of pictures (a thumbnail provider's, keyed by content) use it alike.
// Guarantees: safe to use from any thread; byteCount() never exceeds maxBytes() after a call
// returns (least recently used entries go first, an image larger than the bound is not kept);
// a source's entries go when the source does, whichever of the two goes first. Images handed out
// stay valid after eviction.
class ImageCache
{
public:
    static constexpr qint64 defaultMaxBytes = qint64(256) << 20;

    // Outlives the cache: a source whose pixels the cache keeps removes them through it, and
    // nothing happens once the cache is gone.
    class Handle
    {
    public:
        void removeSource(quint64 source);

    private:
        friend class ImageCache;
        QMutex m_mutex;
        ImageCache *m_cache = nullptr;
    };

    ImageCache();
    ~ImageCache();
    ImageCache(const ImageCache &) = delete;
    ImageCache &operator=(const ImageCache &) = delete;

    std::weak_ptr<Handle> handle() const { return m_handle; }

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
    std::shared_ptr<Handle> m_handle;
};
