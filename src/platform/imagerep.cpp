// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/imagerep.h"

#include "platform/imagecache.h"
#include "platform/imagesource.h"

#include <utility>

ImageRep::ImageRep(std::shared_ptr<const ImageSource> source)
    : m_source(std::move(source))
{ }

QSize ImageRep::pixelSize() const
{
    return m_source ? m_source->pixelSize() : QSize();
}

QSizeF ImageRep::pointSize() const
{
    return m_source ? m_source->pointSize() : QSizeF();
}

QImage ImageRep::bitmap() const
{
    if (!m_source)
        return {};
    ImageCache &cache = ImageCache::instance();
    QImage image = cache.find(m_source->id(), m_source->pixelSize());
    if (image.isNull()) {
        image = m_source->decode();
        cache.insert(m_source->id(), m_source->pixelSize(), image);
    }
    return image;
}

QImage ImageRep::bitmap(QSize size) const
{
    if (!m_source || size.isEmpty())
        return {};
    if (size == m_source->pixelSize())
        return bitmap();
    ImageCache &cache = ImageCache::instance();
    QImage image = cache.find(m_source->id(), size);
    if (image.isNull()) {
        const QImage pixels = bitmap();
        if (pixels.isNull())
            return {};
        image = pixels.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        cache.insert(m_source->id(), size, image);
    }
    return image;
}

QImage ImageRep::cachedBitmap(QSize size) const
{
    if (!m_source || size.isEmpty())
        return {};
    return ImageCache::instance().find(m_source->id(), size);
}

bool ImageRep::hasFailed() const
{
    return m_source && m_source->failed();
}

quint64 ImageRep::contentKey() const
{
    return m_source ? m_source->contentKey() : 0;
}
