// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/thumbnailcache.h"

#include <QMutexLocker>

QImage ThumbnailCache::find(const Key &key)
{
    QMutexLocker lock(&m_mutex);
    const auto found = m_entries.find(key);
    if (found == m_entries.end())
        return {};
    if (found->inRemainder)
        m_remainder.splice(m_remainder.begin(), m_remainder, found->place);
    return found->image;
}

void ThumbnailCache::insert(const Key &key, const QImage &image)
{
    if (image.isNull())
        return;
    QMutexLocker lock(&m_mutex);
    const auto found = m_entries.constFind(key);
    // A picture nobody holds that alone is larger than the remainder would only empty it.
    if ((found == m_entries.cend() || found->holds == 0) && image.sizeInBytes() > m_maxRemainderBytes) {
        if (found != m_entries.cend()) {
            Entry &old = m_entries[key];
            leaveRemainderLocked(old);
            m_bytes -= old.cost;
            m_entries.remove(key);
        }
        return;
    }
    Entry &entry = m_entries[key];
    leaveRemainderLocked(entry);
    m_bytes += image.sizeInBytes() - entry.cost;
    entry.image = image;
    entry.cost = image.sizeInBytes();
    if (entry.holds == 0)
        toRemainderLocked(key, entry);
    trimLocked();
}

void ThumbnailCache::hold(const Key &key)
{
    QMutexLocker lock(&m_mutex);
    Entry &entry = m_entries[key];
    leaveRemainderLocked(entry);
    ++entry.holds;
}

void ThumbnailCache::release(const Key &key)
{
    QMutexLocker lock(&m_mutex);
    const auto found = m_entries.find(key);
    if (found == m_entries.end() || found->holds == 0)
        return;
    if (--found->holds > 0)
        return;
    if (found->image.isNull()) {
        m_entries.erase(found);
        return;
    }
    toRemainderLocked(key, *found);
    trimLocked();
}

qint64 ThumbnailCache::byteCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_bytes;
}

qint64 ThumbnailCache::heldBytes() const
{
    QMutexLocker lock(&m_mutex);
    return m_bytes - m_remainderBytes;
}

qint64 ThumbnailCache::maxRemainderBytes() const
{
    QMutexLocker lock(&m_mutex);
    return m_maxRemainderBytes;
}

void ThumbnailCache::setMaxRemainderBytes(qint64 bytes)
{
    QMutexLocker lock(&m_mutex);
    m_maxRemainderBytes = qMax<qint64>(0, bytes);
    trimLocked();
}

void ThumbnailCache::toRemainderLocked(const Key &key, Entry &entry)
{
    m_remainder.push_front(key);
    entry.place = m_remainder.begin();
    entry.inRemainder = true;
    m_remainderBytes += entry.cost;
}

void ThumbnailCache::leaveRemainderLocked(Entry &entry)
{
    if (!entry.inRemainder)
        return;
    m_remainder.erase(entry.place);
    entry.inRemainder = false;
    m_remainderBytes -= entry.cost;
}

void ThumbnailCache::trimLocked()
{
    while (m_remainderBytes > m_maxRemainderBytes && !m_remainder.empty()) {
        const auto found = m_entries.find(m_remainder.back());
        m_remainder.pop_back();
        m_remainderBytes -= found->cost;
        m_bytes -= found->cost;
        m_entries.erase(found);
    }
}
