// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lowresolutionpattern.h"

#include <cmath>

QColor LowResolutionPattern::gapOverWhite(const QColor &gapColor, float alpha)
{
    const QColor rgb = gapColor.toRgb();
    const double a = std::clamp(double(alpha), 0.0, 1.0);
    const auto mix = [a](double component) { return std::clamp(1.0 - a + component * a, 0.0, 1.0); };
    return QColor::fromRgbF(float(mix(rgb.redF())), float(mix(rgb.greenF())), float(mix(rgb.blueF())));
}

QImage LowResolutionPattern::tile(double scale, const QColor &gapColor, float alpha)
{
    if (!(scale > 0.0 && scale <= 1.0))
        return {};
    const int side = std::max(1, int(std::lround(1.0 / scale)));
    QImage tile(side, side, QImage::Format_RGB32);
    tile.fill(Qt::white);
    if (side < 2)
        return tile; // an emulated pixel of one device pixel leaves no room for a gap
    const QRgb gap = gapOverWhite(gapColor, alpha).rgb();
    for (int i = 0; i < side; ++i) {
        tile.setPixel(side - 1, i, gap);
        tile.setPixel(i, side - 1, gap);
    }
    return tile;
}
