// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/imagerep.h"

#include "platform/images/imagecache.h"
#include "platform/images/imagesource.h"

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

QImage ImageRep::bitmap(ImageCache &cache) const
{
    if (!m_source)
        return {};
    QImage image = cache.find(m_source->id(), m_source->pixelSize());
    if (image.isNull()) {
        image = m_source->decode();
        m_source->keptIn(cache);
        cache.insert(m_source->id(), m_source->pixelSize(), image);
    }
    return image;
}

QImage ImageRep::bitmap(QSize size, ImageCache &cache) const
{
    if (!m_source || size.isEmpty())
        return {};
    if (size == m_source->pixelSize())
        return bitmap(cache);
    QImage image = cache.find(m_source->id(), size);
    if (image.isNull()) {
        const QImage pixels = bitmap(cache);
        if (pixels.isNull())
            return {};
        image = pixels.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        cache.insert(m_source->id(), size, image);
    }
    return image;
}

QImage ImageRep::cachedBitmap(QSize size, ImageCache &cache) const
{
    if (!m_source || size.isEmpty())
        return {};
    return cache.find(m_source->id(), size);
}

QImage ImageRep::decodedBitmap() const
{
    return m_source ? m_source->decode() : QImage();
}

bool ImageRep::hasFailed() const
{
    return m_source && m_source->failed();
}

quint64 ImageRep::contentKey() const
{
    return m_source ? m_source->contentKey() : 0;
}
