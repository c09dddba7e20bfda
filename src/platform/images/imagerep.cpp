// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/imagerep.h"

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
