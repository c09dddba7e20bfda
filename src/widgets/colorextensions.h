// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

#include <optional>

// Colour helpers shared by the views: relative luminance, the contrast rule that swaps a colour
// for its variant in the other scheme, and components as numbers. None keeps state.

enum class ColorScheme { light, dark };

// Dark when the palette's window is darker than its text: the one rule for whether a palette is
// dark, which holds for themes of any contrast.
ColorScheme colorSchemeOf(const QPalette &palette);
ColorScheme oppositeColorScheme(ColorScheme scheme);

// A colour that looks different in the light and the dark scheme. A fixed colour is the same in
// both.
struct SchemeColor
{
    QColor light;
    QColor dark;

    SchemeColor(const QColor &fixed) // NOLINT: a fixed colour is a scheme colour
        : light(fixed)
        , dark(fixed)
    { }
    SchemeColor(const QColor &lightColor, const QColor &darkColor)
        : light(lightColor)
        , dark(darkColor)
    { }

    QColor resolved(ColorScheme scheme) const { return scheme == ColorScheme::dark ? dark : light; }
};

// Red, green, blue and alpha in sRGB, each within 0…1.
struct ColorComponents
{
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;
};

// The colour converted to sRGB first, whatever its spec, each component clamped to 0…1 (an invalid
// colour gives zeros), so the numbers derived from it stay finite.
ColorComponents colorComponents(const QColor &color);

// Relative luminance, 0 for black to 1 for white; alpha plays no part.
double colorLuminance(const QColor &color);

// (lighter + 0.05) / (darker + 0.05): 1 for equal luminances, 21 for black against white.
double contrastRatio(double luminance1, double luminance2);

// The foreground resolved in `scheme` when it contrasts with the background by 7.0 or more (or
// there is no background), else the foreground as the opposite scheme has it.
QColor resolvedLuminance(
    const std::optional<SchemeColor> &background, ColorScheme scheme, const SchemeColor &foreground);
