// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/colorextensions.h"

#include <QColor>

#include <optional>

// A value the painters ask for a colour, not a QStyle.
// The foreground of content drawn over a colour a collection may declare: the selected text colour
// while the content belongs to a selected item, else the wanted colour kept legible against the
// background (see resolvedLuminance). Holds nothing but its fields; the choice is made anew for the
// scheme of each paint.
struct AdaptiveForegroundStyle
{
    SchemeColor color;
    std::optional<SchemeColor> backgroundColor;
    bool selected = false;
    QColor selectedTextColor;

    QColor foreground(ColorScheme scheme) const
    {
        return selected ? selectedTextColor : resolvedLuminance(backgroundColor, scheme, color);
    }
};
