// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/images/imagerep.h"

#include <QByteArray>
#include <QList>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>

class ImageBytes;
class StoredFile;

// An image with one or more representations (an ICNS file holds many, a PNG one), each with a
// pixel size and a point size. A plain value: copies share bytes and decoded pixels.
// Guarantees: making one from bytes reads headers only (PNG IHDR and pHYs, the JPEG 2000 SIZ
// marker, the ICNS element table, QImageReader::size()) and decodes no pixel; pixels are decoded
// only when asked for, and kept by whoever asks (the thumbnail provider keeps its pictures).
// Hostile bytes give no image, or a representation whose bitmap is null; never a crash or an
// unbounded allocation.
class PlatformImage
{
public:
    PlatformImage() = default;

    // None when the bytes are not an image we can read: ICNS (see IcnsReader), PNG (point size
    // from its pHYs chunk, 72 dpi when absent), JPEG 2000, and the formats of Qt's image readers
    // (point size = pixel size), or when the header claims a size beyond ImageLimits.
    static std::optional<PlatformImage> fromData(const QByteArray &data);
    // The same image read from a stored file, given its first bytes: only the headers are read
    // (the ICNS element table and each picture's header, most often within `start`), and the
    // pixels are read from the file when first drawn. A file that cannot be read then counts as
    // pixels that fail to decode.
    static std::optional<PlatformImage> fromStoredFile(std::shared_ptr<const StoredFile> file, QByteArray start);
    // An image of the application's resources (the PNGs in :/images/<name>/, one representation
    // each, ascending); a null image when there is none of that name. Read once per name.
    static PlatformImage named(const QString &name);
    // One representation shown at a given point size (the preview of an icon at one size).
    static PlatformImage fromRepresentation(const ImageRep &rep, QSizeF pointSize);
    // The same, drawn from the best of `drawFrom` (the representations of the image `rep` was
    // taken from) for each device pixel ratio: a 128-point preview at ratio 2 then draws from a
    // 256-pixel representation instead of scaling the 128-pixel one, and a representation whose
    // pixels fail to decode gives way to the next best.
    static PlatformImage fromRepresentation(const ImageRep &rep, QSizeF pointSize, QList<ImageRep> drawFrom);

    // This image shown at another point size; shares everything else.
    PlatformImage atPointSize(QSizeF pointSize) const
    {
        PlatformImage image = *this;
        image.m_size = pointSize;
        return image;
    }

    bool isNull() const { return m_reps.isEmpty(); }
    // The image's size in points: that of its largest representation (the first of equal ones),
    // or the size given to fromRepresentation().
    QSizeF size() const { return m_size; }
    const QList<ImageRep> &representations() const { return m_reps; }
    // What pictures of the image are drawn from: the representations given to draw from, else
    // representations().
    const QList<ImageRep> &drawingRepresentations() const { return m_drawFrom.isEmpty() ? m_reps : m_drawFrom; }
    // The representation to draw a square of `points` points with: the one with the fewest pixels
    // among those whose pixel width and height are both at least `points`; when none is that
    // large, the one with the most pixels. Ties go to the earlier representation. A representation
    // whose pixels failed to decode counts as absent. None for a null image.
    std::optional<ImageRep> bestRepresentation(double points) const;
    // The same rule over any list of representations.
    static std::optional<ImageRep> bestOf(const QList<ImageRep> &reps, double points);
    // The decoded pixels of the best of `reps` for a square of `points` (see bestOf()); when they
    // fail to decode, those of the next best, and so on. Null when none decodes. Decoded now and
    // kept nowhere; `drawnFrom`, when given, is set to the representation they came from.
    static QImage decodedBest(const QList<ImageRep> &reps, double points, ImageRep *drawnFrom = nullptr);
    // decodedBest() for a square of `side` pixels, scaled smoothly to fit the square with its
    // aspect ratio kept (each side at least one pixel) when its size differs.
    static QImage fittedBitmap(const QList<ImageRep> &reps, int side, ImageRep *drawnFrom = nullptr);

private:
    explicit PlatformImage(QList<ImageRep> reps);
    static std::optional<PlatformImage> fromBytes(const ImageBytes &bytes, bool icns);

    QList<ImageRep> m_reps;
    QList<ImageRep> m_drawFrom;
    QSizeF m_size;
};
