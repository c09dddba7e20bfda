// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/icontilelayout.h"

#include <algorithm>
#include <cmath>

int IconTileLayout::columnCount(double width, double previewSize)
{
    const double minimum = previewSize + 16;
    if (!(width > minimum))
        return 1;
    return std::max(1, int(std::floor(width / minimum)));
}

void IconTileLayout::update(const QList<IconSection> &sections, const Params &params, double viewportWidth)
{
    m_params = params;
    m_width = std::max(0.0, viewportWidth);
    m_sections.clear();
    m_sections.reserve(sections.size());
    const double thumb = params.previewSize + 8;

    if (params.flow == Flow::grid) {
        const double inner = std::max(1.0, m_width - 2 * gridPadding);
        m_columns = columnCount(inner, params.previewSize);
        const double column = inner / m_columns;
        // Square tiles, grown when a name would not fit under the thumbnail.
        m_tileSize = QSizeF(column, std::max(column, thumb + params.nameHeight));
        double y = 0;
        for (const IconSection &section : sections) {
            Placed placed { y, 0, section.iconIndexes.size() };
            const qsizetype rows = rowsOf(placed.count);
            const double header = params.separated ? params.headerHeight : 0;
            const double body = rows > 0 ? rows * rowPitch() - (params.nameHeight > 0 ? rowSpacingWithNames : 0) : 0;
            placed.extent = header + 2 * gridPadding + body;
            y += placed.extent;
            m_sections.append(placed);
        }
        m_contentSize = QSizeF(m_width, y);
        return;
    }

    m_columns = 1;
    m_tileSize = QSizeF(params.previewSize + 16, thumb + params.nameHeight + 8);
    double x = stripPadding;
    for (qsizetype s = 0; s < sections.size(); ++s) {
        Placed placed { x, 0, sections.at(s).iconIndexes.size() };
        placed.extent = placed.count > 0 ? placed.count * (m_tileSize.width() + stripSpacing) - stripSpacing : 0;
        x += placed.extent;
        if (params.separated && s + 1 < sections.size())
            x += 2 * stripSpacing + 1;
        else if (s + 1 < sections.size() && placed.count > 0)
            x += stripSpacing;
        m_sections.append(placed);
    }
    m_contentSize = QSizeF(x + stripPadding, m_tileSize.height() + 2 * stripPadding);
}

qsizetype IconTileLayout::tileCount(qsizetype section) const
{
    return section >= 0 && section < m_sections.size() ? m_sections.at(section).count : 0;
}

qsizetype IconTileLayout::rowsOf(qsizetype count) const
{
    return (count + m_columns - 1) / m_columns;
}

double IconTileLayout::rowPitch() const
{
    return m_tileSize.height() + (m_params.nameHeight > 0 ? rowSpacingWithNames : 0);
}

QRectF IconTileLayout::sectionRect(qsizetype section) const
{
    if (section < 0 || section >= m_sections.size())
        return {};
    const Placed &p = m_sections.at(section);
    if (m_params.flow == Flow::grid)
        return QRectF(0, p.start, m_width, p.extent);
    return QRectF(p.start, 0, p.extent, m_contentSize.height());
}

QRectF IconTileLayout::headerRect(qsizetype section) const
{
    if (m_params.flow != Flow::grid || !m_params.separated || section < 0 || section >= m_sections.size())
        return {};
    return QRectF(0, m_sections.at(section).start, m_width, m_params.headerHeight);
}

QRectF IconTileLayout::tileRect(qsizetype section, qsizetype position) const
{
    if (section < 0 || section >= m_sections.size() || position < 0 || position >= m_sections.at(section).count)
        return {};
    const Placed &p = m_sections.at(section);
    if (m_params.flow == Flow::grid) {
        const double header = m_params.separated ? m_params.headerHeight : 0;
        const qsizetype row = position / m_columns;
        const qsizetype column = position % m_columns;
        return QRectF(gridPadding + column * m_tileSize.width(), p.start + header + gridPadding + row * rowPitch(),
            m_tileSize.width(), m_tileSize.height());
    }
    return QRectF(p.start + position * (m_tileSize.width() + stripSpacing), stripPadding, m_tileSize.width(),
        m_tileSize.height());
}

QRectF IconTileLayout::dividerRect(qsizetype section) const
{
    if (m_params.flow != Flow::strip || !m_params.separated || section < 0 || section + 1 >= m_sections.size())
        return {};
    const Placed &p = m_sections.at(section);
    return QRectF(p.start + p.extent + stripSpacing, stripPadding, 1, m_tileSize.height());
}

IconTileLayout::Hit IconTileLayout::hitTest(QPointF point) const
{
    const QList<Hit> hits = tilesIn(QRectF(point, QSizeF(0.01, 0.01)));
    for (const Hit &hit : hits) {
        if (tileRect(hit.section, hit.position).contains(point))
            return hit;
    }
    return {};
}

QList<IconTileLayout::Hit> IconTileLayout::tilesIn(const QRectF &rect) const
{
    QList<Hit> hits;
    for (qsizetype s = 0; s < m_sections.size(); ++s) {
        const Placed &p = m_sections.at(s);
        if (p.count == 0 || !sectionRect(s).intersects(rect.adjusted(-1, -1, 1, 1)))
            continue;
        if (m_params.flow == Flow::grid) {
            const double top = p.start + (m_params.separated ? m_params.headerHeight : 0) + gridPadding;
            const qsizetype rows = rowsOf(p.count);
            const qsizetype firstRow
                = std::clamp<qsizetype>(qsizetype(std::floor((rect.top() - top) / rowPitch())), 0, rows - 1);
            const qsizetype lastRow
                = std::clamp<qsizetype>(qsizetype(std::floor((rect.bottom() - top) / rowPitch())), 0, rows - 1);
            for (qsizetype row = firstRow; row <= lastRow; ++row) {
                for (qsizetype column = 0; column < m_columns; ++column) {
                    const qsizetype position = row * m_columns + column;
                    if (position < p.count && tileRect(s, position).intersects(rect))
                        hits.append({ s, position });
                }
            }
        } else {
            const double pitch = m_tileSize.width() + stripSpacing;
            const qsizetype first
                = std::clamp<qsizetype>(qsizetype(std::floor((rect.left() - p.start) / pitch)), 0, p.count - 1);
            const qsizetype last
                = std::clamp<qsizetype>(qsizetype(std::floor((rect.right() - p.start) / pitch)), 0, p.count - 1);
            for (qsizetype position = first; position <= last; ++position) {
                if (tileRect(s, position).intersects(rect))
                    hits.append({ s, position });
            }
        }
    }
    return hits;
}
