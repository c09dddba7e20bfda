// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/hsbcolor.h"

#include <algorithm>

QColor HSBColor::toColor() const
{
    return QColor::fromHsvF(static_cast<float>(hue), static_cast<float>(saturation), static_cast<float>(brightness),
        static_cast<float>(opacity));
}

HSBColor HSBColor::fromColor(const QColor &color)
{
    float hue = 0;
    float saturation = 0;
    float brightness = 0;
    float opacity = 1;
    color.toHsv().getHsvF(&hue, &saturation, &brightness, &opacity);
    return { std::max(0.0, static_cast<double>(hue)), saturation, brightness, opacity };
}
