// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// A colour as hue, saturation, brightness and opacity, each from 0 to 1, kept as doubles so that a
// value such as hue 0.666 reads back exactly: QColor keeps 16 bits per component and reports floats.
struct HSBColor
{
    double hue = 0;
    double saturation = 0;
    double brightness = 0;
    double opacity = 1;

    friend bool operator==(const HSBColor &, const HSBColor &) = default;

    QColor toColor() const;
    // A colour without hue (grey) gets hue 0.
    static HSBColor fromColor(const QColor &color);
};
