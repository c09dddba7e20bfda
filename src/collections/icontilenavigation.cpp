// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/icontilenavigation.h"

#include <algorithm>

namespace IconTileNavigation {

namespace {

using Hit = IconTileLayout::Hit;

bool isTile(const IconTileLayout &layout, const Hit &hit)
{
    return hit.section >= 0 && hit.position >= 0 && hit.position < layout.tileCount(hit.section);
}

// The next section with tiles after (step 1) or before (step -1) `section`; -1 when none.
qsizetype nextSection(const IconTileLayout &layout, qsizetype section, int step)
{
    for (qsizetype s = section + step; s >= 0 && s < layout.sectionCount(); s += step) {
        if (layout.tileCount(s) > 0)
            return s;
    }
    return -1;
}

Hit first(const IconTileLayout &layout)
{
    const qsizetype s = nextSection(layout, -1, 1);
    return s < 0 ? Hit() : Hit { s, 0 };
}

Hit last(const IconTileLayout &layout)
{
    const qsizetype s = nextSection(layout, layout.sectionCount(), -1);
    return s < 0 ? Hit() : Hit { s, layout.tileCount(s) - 1 };
}

Hit sideways(const IconTileLayout &layout, const Hit &from, int step)
{
    const qsizetype position = from.position + step;
    if (position >= 0 && position < layout.tileCount(from.section))
        return { from.section, position };
    const qsizetype s = nextSection(layout, from.section, step);
    if (s < 0)
        return from;
    return { s, step > 0 ? 0 : layout.tileCount(s) - 1 };
}

Hit vertical(const IconTileLayout &layout, const Hit &from, int step)
{
    const qsizetype columns = std::max(1, layout.columns());
    const qsizetype count = layout.tileCount(from.section);
    const qsizetype column = from.position % columns;
    if (step > 0) {
        if (from.position + columns < count)
            return { from.section, from.position + columns };
        // A shorter last row below: its last tile.
        if (from.position / columns < (count - 1) / columns)
            return { from.section, count - 1 };
        const qsizetype s = nextSection(layout, from.section, 1);
        if (s < 0)
            return from;
        return { s, std::min(column, layout.tileCount(s) - 1) };
    }
    if (from.position - columns >= 0)
        return { from.section, from.position - columns };
    const qsizetype s = nextSection(layout, from.section, -1);
    if (s < 0)
        return from;
    const qsizetype lastRowStart = (layout.tileCount(s) - 1) / columns * columns;
    return { s, std::min(lastRowStart + column, layout.tileCount(s) - 1) };
}

} // namespace

std::optional<IconTileLayout::Hit> move(
    const IconTileLayout &layout, const IconTileLayout::Hit &from, Qt::Key key, qsizetype page)
{
    const bool grid = layout.flow() == IconTileLayout::Flow::grid;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (grid)
            break;
        return std::nullopt;
    default:
        return std::nullopt;
    }
    const Hit start = first(layout);
    if (!start.isValid())
        return std::nullopt;
    if (key == Qt::Key_End || (key != Qt::Key_Home && !isTile(layout, from)))
        return key == Qt::Key_End ? last(layout) : start;
    if (key == Qt::Key_Home)
        return start;

    const int step = key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_PageUp ? -1 : 1;
    const bool paging = key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    const bool byRows = grid && key != Qt::Key_Left && key != Qt::Key_Right;
    Hit hit = from;
    for (qsizetype i = 0; i < (paging ? std::max<qsizetype>(1, page) : 1); ++i) {
        const Hit next = byRows ? vertical(layout, hit, step) : sideways(layout, hit, step);
        if (next.section == hit.section && next.position == hit.position)
            break;
        hit = next;
    }
    return hit;
}

} // namespace IconTileNavigation
