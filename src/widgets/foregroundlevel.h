// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

// The hierarchical foreground levels of the compact controls, from strongest to faintest. Each is
// the palette's text colour at a fixed opacity, so they follow light and dark palettes alike.
enum class ForegroundLevel { primary, secondary, tertiary, quaternary, quinary };

QColor foregroundColor(const QPalette &palette, ForegroundLevel level);
// The palette's accent (highlight) colour, as on-state controls and drop targets use it.
QColor accentColor(const QPalette &palette);
