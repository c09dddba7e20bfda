// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/icondroptargetposition.h"

#include <QColor>
#include <QPointF>
#include <QRectF>

class QPainter;

// The insertion mark beside a tile under a reordering drag: an accent bar with a ring at each
// end, just outside the tile's leading edge (before) or trailing edge (after). Its length follows
// "iconPreviewSize", whatever the tile's own size.
class IconDropIndicator
{
public:
    static constexpr double weight = 2.0;

    struct Geometry
    {
        QRectF bar;
        QPointF upperRing;
        QPointF lowerRing;
        double ringDiameter = 0;
    };

    static Geometry geometry(const QRectF &tile, IconDropTargetPosition position, int previewSize, double weight);
    static void paint(
        QPainter &painter, const QRectF &tile, IconDropTargetPosition position, int previewSize, const QColor &accent);
};
