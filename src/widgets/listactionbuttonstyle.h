// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/foregroundlevel.h"

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// The side of a list action button and the height of the list actions bar, in points.
inline constexpr int listActionButtonSize = 32;

// A value that paints the buttons, not a QStyle.
// The look of the square symbol buttons and the text button of a list actions bar. A plain value
// built by its user; it draws a label and says how large the button is, nothing more.
struct ListActionButtonStyle
{
    bool disabled = false;
    // The width follows the label (a text) with 12 points on each side instead of the square.
    bool flexibleWidth = false;

    static constexpr int flexiblePadding = 12;
    static constexpr int symbolSide = 16;

    ForegroundLevel foregroundLevel() const
    {
        return disabled ? ForegroundLevel::tertiary : ForegroundLevel::secondary;
    }
    // The button's size for a label of `labelWidth` points (the text's width; ignored when square).
    QSize size(int labelWidth) const;
    // Draws the symbol (when `symbol` is given) or else the text, centred in `rect`.
    void paint(QPainter &painter, const QRect &rect, const QPalette &palette, const QString &symbol,
        const QString &text) const;
};
