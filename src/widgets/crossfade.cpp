// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/crossfade.h"

#include <QPainter>

QPixmap CrossFade::mix(const QPixmap &from, const QPixmap &to, qreal progress)
{
    if (progress <= 0)
        return from;
    if (progress >= 1)
        return to;
    QPixmap mixed(from.size());
    mixed.setDevicePixelRatio(from.devicePixelRatio());
    mixed.fill(Qt::transparent);
    QPainter painter(&mixed);
    // Adding the two premultiplied looks, each at its weight, is their mean.
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.setOpacity(1 - progress);
    painter.drawPixmap(0, 0, from);
    painter.setOpacity(progress);
    painter.drawPixmap(0, 0, to);
    return mixed;
}
