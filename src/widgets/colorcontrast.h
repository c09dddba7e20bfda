// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

#include <optional>

// Contrast between colours as the collection views judge it: relative luminance of the sRGB
// components (alpha plays no part) and the ratio (lighter + 0.05) / (darker + 0.05), 1 to 21.
namespace ColorContrast {

inline constexpr double minimumRatio = 7.0;

double luminance(const QColor &color);
double ratio(const QColor &a, const QColor &b);
// `foreground` when it stands out from `background` by at least minimumRatio, or when there is no
// background; otherwise `opposite`, the same colour as the other colour scheme has it.
QColor resolved(const std::optional<QColor> &background, const QColor &foreground, const QColor &opposite);
// Whether `palette` is that of the dark scheme.
bool isDark(const QPalette &palette);

} // namespace ColorContrast
