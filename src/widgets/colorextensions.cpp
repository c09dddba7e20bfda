// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/colorextensions.h"

#include <algorithm>
#include <cmath>

namespace {

double clampedComponent(float value)
{
    return std::isfinite(value) ? std::clamp(double(value), 0.0, 1.0) : 0.0;
}

double linearised(double c)
{
    return c < 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

ColorScheme colorSchemeOf(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightnessF() < palette.color(QPalette::WindowText).lightnessF()
        ? ColorScheme::dark
        : ColorScheme::light;
}

ColorScheme oppositeColorScheme(ColorScheme scheme)
{
    return scheme == ColorScheme::light ? ColorScheme::dark : ColorScheme::light;
}

ColorComponents colorComponents(const QColor &color)
{
    if (!color.isValid())
        return {};
    const QColor rgb = color.toRgb();
    return { clampedComponent(rgb.redF()), clampedComponent(rgb.greenF()), clampedComponent(rgb.blueF()),
        clampedComponent(rgb.alphaF()) };
}

double colorLuminance(const QColor &color)
{
    const ColorComponents c = colorComponents(color);
    return (0.7152 * linearised(c.green) + 0.2126 * linearised(c.red)) + 0.0722 * linearised(c.blue);
}

double contrastRatio(double luminance1, double luminance2)
{
    return (std::max(luminance1, luminance2) + 0.05) / (std::min(luminance1, luminance2) + 0.05);
}

QColor resolvedLuminance(
    const std::optional<SchemeColor> &background, ColorScheme scheme, const SchemeColor &foreground)
{
    const QColor resolvedForeground = foreground.resolved(scheme);
    if (!background)
        return resolvedForeground;
    const double ratio
        = contrastRatio(colorLuminance(background->resolved(scheme)), colorLuminance(resolvedForeground));
    if (ratio >= 7.0)
        return resolvedForeground;
    return foreground.resolved(oppositeColorScheme(scheme));
}
