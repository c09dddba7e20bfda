// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/foregroundlevel.h"

QColor foregroundColor(const QPalette &palette, ForegroundLevel level)
{
    QColor color = palette.color(QPalette::Active, QPalette::WindowText);
    switch (level) {
    case ForegroundLevel::primary:
        color.setAlphaF(0.85f);
        break;
    case ForegroundLevel::secondary:
        color.setAlphaF(0.55f);
        break;
    case ForegroundLevel::tertiary:
        color.setAlphaF(0.28f);
        break;
    case ForegroundLevel::quaternary:
        color.setAlphaF(0.12f);
        break;
    case ForegroundLevel::quinary:
        color.setAlphaF(0.06f);
        break;
    }
    return color;
}

QColor accentColor(const QPalette &palette)
{
    return palette.color(QPalette::Active, QPalette::Highlight);
}
