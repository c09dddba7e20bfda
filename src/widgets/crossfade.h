// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

// Two looks of one thing mixed pixel by pixel: the first at progress 0, the second at 1, and in
// between each pixel the weighted mean of the two, so what both looks share never dims.
class CrossFade
{
public:
    // Both of the same size and device pixel ratio.
    static QPixmap mix(const QPixmap &from, const QPixmap &to, qreal progress);
};
