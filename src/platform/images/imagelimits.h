// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

// Bounds on what a header may claim before we believe it: image files come from strangers, and a
// few bytes can claim a picture of gigabytes.
namespace ImageLimits {
constexpr int maxSide = 16384;
constexpr qint64 maxPixels = qint64(1) << 25; // 128 MiB of 32-bit pixels

constexpr bool acceptable(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= maxSide && size.height() <= maxSide
        && qint64(size.width()) * size.height() <= maxPixels;
}
} // namespace ImageLimits
