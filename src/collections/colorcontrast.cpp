// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/colorcontrast.h"

#include <algorithm>
#include <cmath>

namespace ColorContrast {

namespace {

double linear(double c)
{
    return c < 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double luminance(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return (0.7152 * linear(rgb.greenF()) + 0.2126 * linear(rgb.redF())) + 0.0722 * linear(rgb.blueF());
}

double ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor resolved(const std::optional<QColor> &background, const QColor &foreground, const QColor &opposite)
{
    if (!background || ratio(*background, foreground) >= minimumRatio)
        return foreground;
    return opposite;
}

} // namespace ColorContrast
