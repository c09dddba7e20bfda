// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/enumtraits.h"

#include <QString>

#include <optional>

// An icon's kind: ICNS data or a PNG image.
enum class IconFileType { icns, image };

// The six preview sizes, in points; the raw value is the integer.
enum class IconSize { size16 = 16, size32 = 32, size64 = 64, size128 = 128, size256 = 256, size512 = 512 };

enum class SidebarIconSize { defaultSize, small };
enum class ListIconSize { small, defaultSize, large };
enum class GalleryIconSize { small, defaultSize, large };

template <> struct EnumTraits<IconFileType>
{
    static constexpr std::array<std::pair<IconFileType, const char *>, 2> values { {
        { IconFileType::icns, "icns" },
        { IconFileType::image, "image" },
    } };
};

template <> struct EnumTraits<SidebarIconSize>
{
    static constexpr std::array<std::pair<SidebarIconSize, const char *>, 2> values { {
        { SidebarIconSize::defaultSize, "default" },
        { SidebarIconSize::small, "small" },
    } };
};

template <> struct EnumTraits<ListIconSize>
{
    static constexpr std::array<std::pair<ListIconSize, const char *>, 3> values { {
        { ListIconSize::small, "small" },
        { ListIconSize::defaultSize, "default" },
        { ListIconSize::large, "large" },
    } };
};

template <> struct EnumTraits<GalleryIconSize>
{
    static constexpr std::array<std::pair<GalleryIconSize, const char *>, 3> values { {
        { GalleryIconSize::small, "small" },
        { GalleryIconSize::defaultSize, "default" },
        { GalleryIconSize::large, "large" },
    } };
};

constexpr std::array<IconSize, 6> allIconSizes { IconSize::size16, IconSize::size32, IconSize::size64,
    IconSize::size128, IconSize::size256, IconSize::size512 };

constexpr int rawValue(IconSize size)
{
    return static_cast<int>(size);
}
constexpr double pointSize(IconSize size)
{
    return static_cast<double>(rawValue(size));
}

// The sidebar's icon edge in points: 32 by default, 16 when small.
constexpr int pointSize(SidebarIconSize size)
{
    return size == SidebarIconSize::small ? 16 : 32;
}

// Finished, translated display titles.
QString title(SidebarIconSize size);
QString title(ListIconSize size);
QString title(GalleryIconSize size);
