// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>

#include <memory>

class ImageCache;
class ImageSource;

// One representation of an image: a pixel size, a point size, and pixels that are decoded on
// first use and kept in the ImageCache the caller hands in. Cheap to copy: copies share the
// file's bytes, and holding a representation holds no pixels. A non-null representation's header
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
    // The decoded pixels: ARGB32 premultiplied of exactly pixelSize(), or a null image when they
    // cannot be decoded (then never tried again). Kept in `cache`. Safe to call from any thread.
    QImage bitmap(ImageCache &cache) const;
    // The pixels scaled smoothly to `size` (aspect ratio not kept), cached like bitmap().
    QImage bitmap(QSize size, ImageCache &cache) const;
    // What bitmap(size, cache) would give when it is in the cache already; a null image otherwise.
    // Never decodes.
    QImage cachedBitmap(QSize size, ImageCache &cache) const;
    // The pixels of bitmap(), decoded now and kept nowhere: for an image used once and let go.
    QImage decodedBitmap() const;
    // Whether its pixels failed to decode; such a representation counts as absent from then on.
    bool hasFailed() const;
    // Equal for representations of equal content, across loads (see ImageSource::contentKey()).
    quint64 contentKey() const;

private:
    std::shared_ptr<const ImageSource> m_source;
};
