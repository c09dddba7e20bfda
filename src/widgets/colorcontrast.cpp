// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/colorcontrast.h"

#include "widgets/colorextensions.h"

// The collection views' names for the window's colour rules, which live in one place.
namespace ColorContrast {

double luminance(const QColor &color)
{
    return colorLuminance(color);
}

double ratio(const QColor &a, const QColor &b)
{
    return contrastRatio(colorLuminance(a), colorLuminance(b));
}

QColor resolved(const std::optional<QColor> &background, const QColor &foreground, const QColor &opposite)
{
    const std::optional<SchemeColor> behind = background ? std::optional<SchemeColor>(*background) : std::nullopt;
    return resolvedLuminance(behind, ColorScheme::light, SchemeColor(foreground, opposite));
}

bool isDark(const QPalette &palette)
{
    return colorSchemeOf(palette) == ColorScheme::dark;
}

} // namespace ColorContrast
