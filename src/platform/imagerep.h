// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>

#include <memory>

class ImageSource;

// One representation of an image: a pixel size, a point size, and pixels that are decoded on
// first use and kept in the shared ImageCache. Cheap to copy; copies share the source bytes.
class ImageRep
{
public:
    ImageRep() = default;
    explicit ImageRep(std::shared_ptr<const ImageSource> source);

    bool isNull() const { return !m_source; }
    QSize pixelSize() const;
    QSizeF pointSize() const;
    // The decoded pixels (ARGB32 premultiplied); a null image when they cannot be decoded.
    QImage bitmap() const;

private:
    std::shared_ptr<const ImageSource> m_source;
};
