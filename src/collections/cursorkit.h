// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>

class QWidget;

// Names the standard pointer shapes and lets a widget show one while the pointer is over it.
// Shapes the platform's cursor theme has are used as they are; for the few it lacks (one-way
// resize arrows, the contextual-menu and disappearing-item arrows, the sideways I-beam) the kit
// draws its own at the screen's scale. Hover cursors are per widget, so the pointer shape follows
// the widget under it and nothing is left behind when a widget goes away.
namespace CursorKit {

enum class Cursor {
    arrow,
    pointingHand,
    openHand,
    closedHand,
    resizeLeft,
    resizeRight,
    resizeLeftRight,
    resizeUp,
    resizeDown,
    resizeUpDown,
    dragLink,
    dragCopy,
    crosshair,
    contextualMenu,
    disappearingItem,
    operationNotAllowed,
    iBeam,
    iBeamCursorForVerticalLayout,
};

// The theme's shape, or Qt::BitmapCursor with one of the kit's own pictures.
QCursor qCursor(Cursor cursor);

// The widget shows `cursor` while the pointer hovers over it.
void setHoverCursor(QWidget *widget, Cursor cursor);

} // namespace CursorKit
