// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/imagecache.h"

#include <QMutexLocker>

void ImageCache::Handle::removeSource(quint64 source)
{
    QMutexLocker lock(&m_mutex);
    if (m_cache)
        m_cache->removeSource(source);
}

ImageCache::ImageCache()
    : m_handle(std::make_shared<Handle>())
{
    m_handle->m_cache = this;
}

ImageCache::~ImageCache()
{
    QMutexLocker lock(&m_handle->m_mutex);
    m_handle->m_cache = nullptr;
}

QImage ImageCache::find(quint64 source, QSize size)
{
    QMutexLocker lock(&m_mutex);
    const Lru::iterator entry = findLocked(source, size);
    if (entry == m_lru.end())
        return {};
    m_lru.splice(m_lru.begin(), m_lru, entry);
    return entry->image;
}

void ImageCache::insert(quint64 source, QSize size, const QImage &image)
{
    const qint64 cost = image.sizeInBytes();
    QMutexLocker lock(&m_mutex);
    if (const Lru::iterator old = findLocked(source, size); old != m_lru.end())
        eraseLocked(old);
    if (image.isNull() || cost > m_maxBytes)
        return;
    m_lru.push_front(Entry { source, size, image, cost });
    m_bySource[source].append(m_lru.begin());
    m_bytes += cost;
    evictLocked();
}

void ImageCache::removeSource(quint64 source)
{
    QMutexLocker lock(&m_mutex);
    const auto entries = m_bySource.take(source);
    for (const Lru::iterator &entry : entries) {
        m_bytes -= entry->cost;
        m_lru.erase(entry);
    }
}

void ImageCache::clear()
{
    QMutexLocker lock(&m_mutex);
    m_lru.clear();
    m_bySource.clear();
    m_bytes = 0;
}

qint64 ImageCache::byteCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_bytes;
}

qint64 ImageCache::maxBytes() const
{
    QMutexLocker lock(&m_mutex);
    return m_maxBytes;
}

void ImageCache::setMaxBytes(qint64 bytes)
{
    QMutexLocker lock(&m_mutex);
    m_maxBytes = qMax<qint64>(0, bytes);
    evictLocked();
}

ImageCache::Lru::iterator ImageCache::findLocked(quint64 source, QSize size)
{
    const auto entries = m_bySource.constFind(source);
    if (entries != m_bySource.cend()) {
        for (const Lru::iterator &entry : *entries) {
            if (entry->size == size)
                return entry;
        }
    }
    return m_lru.end();
}

void ImageCache::evictLocked()
{
    while (m_bytes > m_maxBytes && !m_lru.empty())
        eraseLocked(std::prev(m_lru.end()));
}

void ImageCache::eraseLocked(Lru::iterator entry)
{
    auto found = m_bySource.find(entry->source);
    if (found != m_bySource.end()) {
        found->removeOne(entry);
        if (found->isEmpty())
            m_bySource.erase(found);
    }
    m_bytes -= entry->cost;
    m_lru.erase(entry);
}
