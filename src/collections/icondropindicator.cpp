// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/icondropindicator.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

IconDropIndicator::Geometry IconDropIndicator::geometry(
    const QRectF &tile, IconDropTargetPosition position, int previewSize, double weight)
{
    const bool after = position == IconDropTargetPosition::after;
    const double dx = after ? 1.5 * weight : -1.5 * weight;
    const double edge = after ? tile.right() : tile.left();
    const double middle = tile.center().y();
    const double length = std::max(0.0, double(previewSize) - 3 * weight);
    // Bar and rings are each aligned to the edge, so the narrow bar sits further out than the
    // rings' centres.
    const double barLeft = after ? edge - weight + dx : edge + dx;
    Geometry g;
    g.bar = QRectF(barLeft, middle - length / 2, weight, length);
    const double ringCentre = after ? edge - 1.5 * weight + dx : edge + 1.5 * weight + dx;
    // The half is truncated first, so an odd size puts the rings symmetrically.
    const int half = previewSize / 2;
    g.upperRing = QPointF(ringCentre, middle - half);
    g.lowerRing = QPointF(ringCentre, middle + half);
    g.ringDiameter = 3 * weight;
    return g;
}

void IconDropIndicator::paint(
    QPainter &painter, const QRectF &tile, IconDropTargetPosition position, int previewSize, const QColor &accent)
{
    const Geometry g = geometry(tile, position, previewSize, weight);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(accent);
    painter.drawRect(g.bar);
    QPen pen(accent, weight, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double radius = g.ringDiameter / 2;
    painter.drawEllipse(g.upperRing, radius, radius);
    painter.drawEllipse(g.lowerRing, radius, radius);
    painter.restore();
}
