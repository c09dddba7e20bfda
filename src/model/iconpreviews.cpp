// SPDX-License-Identifier: GPL-3.0-or-later
// The preview images of an icon and the sidebar image of a container. They only choose
// representations: building them decodes no pixels.

#include "model/icon.h"
#include "model/iconcontainer.h"
#include "model/iconimages.h"

#include <QCache>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>

namespace {

// The largest preview size: a wider image still gets this entry.
constexpr double largestPreviewPoints = 512;

// The bitmap of the best representation for a square of `points`, shown at that size and drawn
// from the best of the image's representations at each device pixel ratio. Pixels are decoded
// lazily, so a representation whose header was read counts as yielding a bitmap until its decode
// has failed. None when the image has no such representation.
std::optional<PlatformImage> bitmapAt(const PlatformImage &image, double points)
{
    const std::optional<ImageRep> rep = image.bestRepresentation(points);
    if (!rep || rep->isNull())
        return std::nullopt;
    return PlatformImage::fromRepresentation(*rep, QSizeF(points, points), image.representations());
}

std::optional<PlatformImage> imageFrom(const IconData &data)
{
    if (!data)
        return std::nullopt;
    if (data.isStored()) {
        const PlatformImage &image = data.storedImage();
        return image.isNull() ? std::nullopt : std::optional(image);
    }
    return PlatformImage::fromData(*data);
}

// The icon's own image when it was built with data, else one read from its data now.
std::optional<PlatformImage> imageOf(const Icon &icon)
{
    if (!icon.dataImage().isNull())
        return icon.dataImage();
    return imageFrom(icon.type == IconFileType::icns ? icon.icnsData : icon.imageData);
}

// The sidebar asks for a container's image at every paint. Reading the custom icon once per
// content keeps its decoded pixels and its failed decodes, so a damaged one is found out once.
std::optional<PlatformImage> customIconImage(const QByteArray &data)
{
    constexpr int maxImages = 256;
    static QMutex mutex;
    static QCache<QByteArray, std::optional<PlatformImage>> images(maxImages);
    QMutexLocker lock(&mutex);
    if (const auto *found = images.object(data))
        return *found;
    auto *image = new std::optional<PlatformImage>(PlatformImage::fromData(data));
    const std::optional<PlatformImage> result = *image;
    images.insert(data, image);
    return result;
}

} // namespace

QList<IconPreviewRep> IconImages::previewsOf(const PlatformImage &image, IconFileType type)
{
    QList<IconPreviewRep> reps;
    if (image.isNull())
        return reps;
    reps.reserve(qsizetype(std::size(allIconSizes)));
    if (type == IconFileType::icns) {
        // Sizes that pick the same representation share one preview, shown at each one's size.
        std::optional<PlatformImage> last;
        for (IconSize size : allIconSizes) {
            const double points = pointSize(size);
            const std::optional<ImageRep> rep = image.bestRepresentation(points);
            if (!rep)
                continue;
            if (!last || last->representations().constFirst() != *rep)
                last = bitmapAt(image, points);
            reps.append({ size, last->atPointSize(QSizeF(points, points)) });
        }
        return reps;
    }
    // An image wider than the largest size still gets that one entry, so that a common
    // 1024-pixel icon shows in the grid and the list.
    const double smallest = std::min(image.size().width(), largestPreviewPoints);
    for (IconSize size : allIconSizes) {
        if (pointSize(size) < smallest)
            continue;
        reps.append({ size, bitmapAt(image, pointSize(size)).value_or(image) });
    }
    return reps;
}

std::optional<PlatformImage> Icon::previewImage(double size) const
{
    const std::optional<PlatformImage> image = imageOf(*this);
    if (!image || type == IconFileType::image)
        return image;
    // Every image read has a representation; none is left only when all failed to decode.
    return bitmapAt(*image, size);
}

PlatformImage IconContainer::iconImage(SidebarIconSize size) const
{
    const PlatformImage asset = PlatformImage::named(QStringLiteral("CollectionIcon"));
    const std::optional<PlatformImage> custom = customIcon ? customIconImage(*customIcon) : std::nullopt;
    if (!custom)
        return asset;
    const double points = pointSize(size);
    // Once every representation has failed to decode there is none left, and the asset shows.
    return bitmapAt(*custom, points).value_or(asset);
}
