// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/iconcontainer.h"

#include "model/iconimages.h"

#include <QCache>
#include <QMutex>
#include <QMutexLocker>

namespace {

// The sidebar asks for a container's image at every paint. Reading the custom icon once per
// content keeps its failed decodes, so a damaged one is found out once.
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

PlatformImage IconContainer::iconImage(SidebarIconSize size) const
{
    const PlatformImage asset = PlatformImage::named(QStringLiteral("CollectionIcon"));
    const std::optional<PlatformImage> custom = customIcon ? customIconImage(*customIcon) : std::nullopt;
    if (!custom)
        return asset;
    const double points = pointSize(size);
    // Once every representation has failed to decode there is none left, and the asset shows.
    return IconImages::previewAt(*custom, points).value_or(asset);
}
