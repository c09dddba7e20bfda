// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMargins>
#include <QRect>

class QScreen;
class QWidget;

// Where top-level windows go: a saved main window back where it was, a new one fitted to its
// screen, a settings window centred over the window that opened it, a panel kept above it. Every
// place is a frame (the window with its title bar and borders) that lies whole on the available
// area of one screen, in the device-independent pixels Qt gives at every scale factor.
class WindowPlacement
{
public:
    // `frame` moved, and shrunk where it must be, so that it lies whole on `available`; the part
    // that stays fixed while shrinking is the top left, as a user expects of a window too large.
    static QRect fitted(const QRect &frame, const QRect &available);

    // Places `window` as `saved` (saveGeometry()'s bytes) says: the same frame on the same screen,
    // fitted to that screen's available area; a window first shown, or whose bytes are not ours,
    // gets `firstSize` fitted and centred on the primary screen. Call before the first show.
    static void restore(QWidget *window, const QByteArray &saved, const QSize &firstSize);

    // Centres `window` (its frame as it will be shown) over `opener`, fitted to the opener's screen.
    static void centreOver(QWidget *window, const QWidget *opener);

    // Keeps the top-level `panel` above `opener`'s window: its transient parent, which X11 and
    // Wayland compositors stack it over, instead of the hidden leader window Qt gives a parentless one.
    static void keepAbove(QWidget *panel, const QWidget *opener);

private:
    // The margins a frame adds to the window, as the window manager drew them last, or as large as
    // the saved frame showed them.
    static QMargins frameMargins(const QWidget *window);
    static QScreen *screenFor(const QRect &frame);
};
