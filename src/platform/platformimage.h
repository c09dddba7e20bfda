// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/imagerep.h"

#include <QByteArray>
#include <QList>
#include <QSizeF>
#include <QString>

#include <optional>

// An image with one or more representations (an ICNS file holds many, a PNG one), each with a
// pixel size and a point size. Making one from bytes reads headers only; see ImageRep for pixels.
class PlatformImage
{
public:
    PlatformImage() = default;

    // None when the bytes are not an image we can read (PNG, ICNS, JPEG 2000, and the formats of
    // Qt's image readers).
    static std::optional<PlatformImage> fromData(const QByteArray &data);
    // An image of the application's resources; a null image when there is none of that name.
    static PlatformImage named(const QString &name);
    // One representation shown at a given point size (the preview of an icon at one size).
    static PlatformImage fromRepresentation(const ImageRep &rep, QSizeF pointSize);

    bool isNull() const { return m_reps.isEmpty(); }
    // The image's size in points.
    QSizeF size() const { return m_size; }
    const QList<ImageRep> &representations() const { return m_reps; }
    // The representation to draw a square of `points` points: the smallest whose pixels cover the
    // square, else the largest. None for a null image.
    std::optional<ImageRep> bestRepresentation(double points) const;
    // Pixels for drawing at the image's own size on a screen with the given device pixel ratio.
    QImage bitmap(qreal devicePixelRatio = 1.0) const;

private:
    QList<ImageRep> m_reps;
    QSizeF m_size;
};
