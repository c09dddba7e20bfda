// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/iconsections.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

// Where the tiles of a grid or of the gallery strip lie, in content coordinates, worked out by
// arithmetic so that views never hold a rectangle per icon. The grid stacks sections vertically
// (an optional header, then rows of adaptive columns); the strip lines groups up in one row, with
// an optional divider between neighbours.
class IconTileLayout
{
public:
    enum class Flow { grid, strip };

    struct Params
    {
        Flow flow = Flow::grid;
        // Edge of the picture, points; "iconPreviewSize" in the grid, the gallery size in the strip.
        double previewSize = 64;
        // Height the names add under the thumbnails; 0 without names.
        double nameHeight = 0;
        // Headers (grid) or dividers (strip) between sections.
        bool separated = false;
        double headerHeight = 0;
    };

    struct Hit
    {
        qsizetype section = -1;
        // Position in the section's iconIndexes.
        qsizetype position = -1;
        bool isValid() const { return section >= 0 && position >= 0; }
    };

    static constexpr double gridPadding = 12;
    static constexpr double stripPadding = 8;
    static constexpr double stripSpacing = 8;
    static constexpr double rowSpacingWithNames = 12;

    // As many columns of at least previewSize + 16 points as `width` holds, never fewer than one.
    static int columnCount(double width, double previewSize);

    void update(const QList<IconSection> &sections, const Params &params, double viewportWidth);

    QSizeF contentSize() const { return m_contentSize; }
    Flow flow() const { return m_params.flow; }
    qsizetype sectionCount() const { return m_sections.size(); }
    // How many tiles a section holds; 0 outside the sections.
    qsizetype tileCount(qsizetype section) const;
    int columns() const { return m_columns; }
    QSizeF tileSize() const { return m_tileSize; }
    QRectF sectionRect(qsizetype section) const;
    QRectF headerRect(qsizetype section) const;
    QRectF tileRect(qsizetype section, qsizetype position) const;
    // Between a group and the next in the strip; null without dividers.
    QRectF dividerRect(qsizetype section) const;
    Hit hitTest(QPointF point) const;
    // The tiles that meet `rect`, section by section, in order.
    QList<Hit> tilesIn(const QRectF &rect) const;

private:
    struct Placed
    {
        double start = 0; // top in the grid, left in the strip
        double extent = 0;
        qsizetype count = 0;
    };
    qsizetype rowsOf(qsizetype count) const;
    double rowPitch() const;

    Params m_params;
    QList<Placed> m_sections;
    QSizeF m_contentSize;
    QSizeF m_tileSize;
    int m_columns = 1;
    double m_width = 0;
};
