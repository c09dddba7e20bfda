// SPDX-License-Identifier: GPL-3.0-or-later
// The preview images of an icon and the sidebar image of a container. They only choose
// representations: building them decodes no pixels.

#include "model/icon.h"
#include "model/iconcontainer.h"

namespace {

// The bitmap of the best representation for a square of `points`, shown at that size. Pixels
// are decoded lazily, so a representation whose header was read counts as yielding a bitmap.
// None when the image has no representation.
std::optional<PlatformImage> bitmapAt(const PlatformImage &image, double points)
{
    const std::optional<ImageRep> rep = image.bestRepresentation(points);
    if (!rep || rep->isNull())
        return std::nullopt;
    return PlatformImage::fromRepresentation(*rep, QSizeF(points, points));
}

std::optional<PlatformImage> imageFrom(const std::optional<QByteArray> &data)
{
    return data ? PlatformImage::fromData(*data) : std::nullopt;
}

} // namespace

QList<IconPreviewRep> Icon::makePreviewReps() const
{
    QList<IconPreviewRep> reps;
    if (type == IconFileType::icns) {
        const std::optional<PlatformImage> image = imageFrom(icnsData);
        if (!image)
            return reps;
        for (IconSize size : allIconSizes) {
            if (std::optional<PlatformImage> preview = bitmapAt(*image, pointSize(size)))
                reps.append({ size, std::move(*preview) });
        }
        return reps;
    }
    const std::optional<PlatformImage> image = imageFrom(imageData);
    if (!image)
        return reps;
    for (IconSize size : allIconSizes) {
        if (pointSize(size) < image->size().width())
            continue;
        reps.append({ size, bitmapAt(*image, pointSize(size)).value_or(*image) });
    }
    return reps;
}

std::optional<PlatformImage> Icon::previewImage(double size) const
{
    if (type == IconFileType::image)
        return imageFrom(imageData);
    const std::optional<PlatformImage> image = imageFrom(icnsData);
    if (!image)
        return std::nullopt;
    if (!image->bestRepresentation(size))
        return image;
    return bitmapAt(*image, size);
}

PlatformImage IconContainer::iconImage(SidebarIconSize size) const
{
    const PlatformImage asset = PlatformImage::named(QStringLiteral("CollectionIcon"));
    const std::optional<PlatformImage> custom = imageFrom(customIcon);
    if (!custom)
        return asset;
    const double points = pointSize(size);
    if (!custom->bestRepresentation(points))
        return *custom;
    return bitmapAt(*custom, points).value_or(asset);
}
