// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QSize>

class QIcon;
class QPainter;
class QPalette;
class QRect;

// Which side of the preview-size stepper's value a button stands on.
enum class IconPreviewSizeStepperButtonPosition { leading, trailing };

// A value that paints the buttons, not a QStyle.
// The look of the preview-size stepper's minus and plus buttons: the icon alone, tinted in the
// text colour (faint when disabled), with a thin separator on the edge that faces the value.
// The style only draws; a pressed button looks like a released one, and `disabled` changes the
// look, not whether the button responds.
struct IconPreviewSizeStepperButtonStyle
{
    IconPreviewSizeStepperButtonPosition position = IconPreviewSizeStepperButtonPosition::leading;
    bool disabled = false;

    static constexpr int horizontalPadding = 8;
    static constexpr int verticalPadding = 2;
    static constexpr int separatorInset = 4;

    // The icon and its padding.
    QSize sizeHint(const QSize &iconSize) const;
    // Draws into `rect` (the whole button); leading and trailing follow `direction`.
    void paint(QPainter &painter, const QRect &rect, const QIcon &icon, const QSize &iconSize, const QPalette &palette,
        Qt::LayoutDirection direction) const;

    // The foreground: the primary level, or the tertiary when disabled. The stepper's number uses
    // it too, so number and buttons dim alike.
    static QColor foreground(const QPalette &palette, bool disabled);
    // The separator line and the stepper's outline: the quaternary level.
    static QColor separator(const QPalette &palette);
};
