// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/icontilelayout.h"

#include <QAccessibleWidget>
#include <QHash>

#include <optional>

class IconTileView;

// What assistive technology reads of an IconTileView: a list whose children are, in reading
// order, each grid section's header (a heading, while two or more containers are shown) and then
// its tiles (list items named after their icon, selectable, selected and focused as the view
// shows them). The children stand for positions: after a reset of the tiles the old ones report
// themselves invalid and new ones are made.
class IconTileAccessible : public QAccessibleWidget
{
public:
    // A child: a tile, or with `position` -1 a section's header.
    struct Element
    {
        qsizetype section = -1;
        qsizetype position = -1;
        bool isHeader() const { return position < 0; }
    };

    explicit IconTileAccessible(IconTileView *view);
    ~IconTileAccessible() override;

    // Makes the views' interfaces known to Qt's accessibility; safe to call for every view.
    static void install();
    static std::optional<Element> elementAt(const IconTileView &view, int index);
    // The child index of a tile; -1 when it is none.
    static int indexOfTile(const IconTileView &view, const IconTileLayout::Hit &hit);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    IconTileView *view() const;
    // Children made so far, by index, for the tiles' generation they were made in.
    mutable QHash<int, QAccessible::Id> m_children;
    mutable quint64 m_generation = 0;
};
