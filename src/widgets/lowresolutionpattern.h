// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>

// The pixel-gap pattern of the low-resolution emulation, to be multiplied onto the icons: white
// (which leaves them unchanged) inside each emulated pixel, and the gap colour, laid over white
// at its alpha, along the emulated pixel's right and bottom edges. An emulated pixel is 1 / `scale`
// device pixels wide, so 0.5 shows a screen of half the resolution.
class LowResolutionPattern
{
public:
    // One repeating tile in device pixels; null for a scale outside (0, 1].
    static QImage tile(double scale, const QColor &gapColor, float alpha);
    // The gap colour over white at `alpha`, as the tile draws it.
    static QColor gapOverWhite(const QColor &gapColor, float alpha);
};
