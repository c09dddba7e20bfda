// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/storedfilecache.h"

#include <QMutexLocker>

StoredFileCache::StoredFileCache(qint64 maxBytes)
    : m_contents(qsizetype(qMax<qint64>(0, maxBytes)))
{ }

std::optional<QByteArray> StoredFileCache::find(quint64 file)
{
    QMutexLocker lock(&m_mutex);
    if (const QByteArray *contents = m_contents.object(file))
        return *contents;
    return std::nullopt;
}

void StoredFileCache::insert(quint64 file, const QByteArray &contents)
{
    QMutexLocker lock(&m_mutex);
    // A cost of at least one, so that empty files count too; one larger than the bound is refused.
    m_contents.insert(file, new QByteArray(contents), qMax<qsizetype>(1, contents.size()));
}

qint64 StoredFileCache::byteCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_contents.totalCost();
}

qint64 StoredFileCache::maxBytes() const
{
    QMutexLocker lock(&m_mutex);
    return m_contents.maxCost();
}
