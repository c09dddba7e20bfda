// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

// The primary screen and the mouse pointer, as a drag that parks the pointer needs them (where the
// pointer is comes with each mouse event). All
// positions are global, in device-independent pixels, with the origin at the top left. Tests put
// a fake in its place and count what the drag asked for.
class ScreenPointer
{
public:
    virtual ~ScreenPointer() = default;

    // The primary screen's geometry; none when the session has no screen.
    virtual std::optional<QRect> primaryScreenGeometry() const = 0;

    // False where the display server does not let applications move the pointer (Wayland); there
    // warpPointer() does nothing and callers measure from where the drag began instead.
    virtual bool canWarpPointer() const = 0;
    // Moves the pointer at once; later mouse events report positions from the new place.
    virtual void warpPointer(QPoint position) = 0;

    // Hides the pointer over the application until showPointer(). The two are paired: a second
    // hide before a show, or a show without a hide, does nothing.
    virtual void hidePointer() = 0;
    virtual void showPointer() = 0;
};
