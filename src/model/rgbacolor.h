// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A colour in sRGB as four doubles; deliberately without equality of its own.
struct RGBAColor
{
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;
};
