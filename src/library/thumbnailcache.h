// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QImage>
#include <QMutex>

#include <list>

// The pictures of a thumbnail provider, by content key and the side of their square. A picture
// that someone holds (a view shows it, or will soon) is kept whatever the bound; the others form a
// remainder of at most maxRemainderBytes(), from which those let go or used longest ago are dropped
// first. Holds are counted and may be taken before the picture exists. Safe from any thread;
// images handed out stay valid after they are dropped.
class ThumbnailCache
{
public:
    struct Key
    {
        quint64 content = 0;
        int side = 0;
        friend bool operator==(const Key &a, const Key &b) { return a.content == b.content && a.side == b.side; }
        friend size_t qHash(const Key &key, size_t seed = 0) { return qHashMulti(seed, key.content, key.side); }
    };

    static constexpr qint64 defaultMaxRemainderBytes = qint64(24) << 20;

    // A null image when there is none; a hit on a picture nobody holds makes it the most recent.
    QImage find(const Key &key);
    void insert(const Key &key, const QImage &image);
    void hold(const Key &key);
    // Lets go of one hold; the last one sends the picture to the remainder as its most recent.
    void release(const Key &key);

    // Bytes of every picture kept, and of those held.
    qint64 byteCount() const;
    qint64 heldBytes() const;
    qint64 maxRemainderBytes() const;
    // Drops at once down to the new bound.
    void setMaxRemainderBytes(qint64 bytes);

private:
    struct Entry
    {
        QImage image;
        qint64 cost = 0;
        int holds = 0;
        bool inRemainder = false;
        std::list<Key>::iterator place;
    };

    void toRemainderLocked(const Key &key, Entry &entry);
    void leaveRemainderLocked(Entry &entry);
    void trimLocked();

    mutable QMutex m_mutex;
    QHash<Key, Entry> m_entries;
    std::list<Key> m_remainder; // most recent first
    qint64 m_bytes = 0;
    qint64 m_remainderBytes = 0;
    qint64 m_maxRemainderBytes = defaultMaxRemainderBytes;
};
