// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/icon.h"

#include "model/iconimages.h"
#include "model/iconsearchkey.h"

#include <utility>

bool Icon::matches(const QString &text) const
{
    if (text.isEmpty())
        return true;
    return IconSearchKey(*this).matches(IconSearchKey::folded(text));
}

QByteArray Icon::primaryData() const
{
    switch (type) {
    case IconFileType::icns:
        // Data that can no longer be read counts as missing.
        if (std::optional<QByteArray> bytes = icnsData.read())
            return *std::move(bytes);
        return *imageData;
    case IconFileType::image:
        return *imageData;
    }
    return {};
}

std::optional<PlatformImage> Icon::previewImage(double size) const
{
    // The icon's own image when it was built with data, else one read from its data now.
    const std::optional<PlatformImage> image = !dataImage().isNull()
        ? std::optional(dataImage())
        : IconImages::imageOf(type == IconFileType::icns ? icnsData : imageData);
    if (!image || type == IconFileType::image)
        return image;
    // Every image read has a representation; none is left only when all failed to decode.
    return IconImages::previewAt(*image, size);
}
