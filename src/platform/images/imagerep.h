// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>

#include <memory>

class ImageSource;

// One representation of an image: a pixel size, a point size, and pixels that are decoded when
// asked for. Cheap to copy: copies share the file's bytes, and holding a representation holds no
// pixels. A non-null representation's header
// has been read and checked; its pixels can still fail to decode (damaged data past the header).
class ImageRep
{
public:
    ImageRep() = default;
    explicit ImageRep(std::shared_ptr<const ImageSource> source);

    bool isNull() const { return !m_source; }
    // The same representation: copies of one, never two read from equal bytes.
    friend bool operator==(const ImageRep &a, const ImageRep &b) { return a.m_source == b.m_source; }
    QSize pixelSize() const;
    QSizeF pointSize() const;
    // The decoded pixels, decoded now and kept nowhere: ARGB32 premultiplied of exactly
    // pixelSize(), or a null image when they cannot be decoded (then never tried again). Safe to
    // call from any thread.
    QImage decodedBitmap() const;
    // Whether its pixels failed to decode; such a representation counts as absent from then on.
    bool hasFailed() const;
    // Equal for representations of equal content, across loads (see ImageSource::contentKey()).
    quint64 contentKey() const;

private:
    std::shared_ptr<const ImageSource> m_source;
};
