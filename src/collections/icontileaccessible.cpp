// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/icontileaccessible.h"

#include "collections/icontileaccessibleitem.h"
#include "collections/icontileview.h"

namespace {

// Headers are children only where the view draws them: over the grid's separated sections.
bool hasHeaders(const IconTileView &view)
{
    return view.tileLayout().flow() == IconTileLayout::Flow::grid && view.containerSelection().size() >= 2;
}

QAccessibleInterface *makeInterface(const QString &key, QObject *object)
{
    if (key == QLatin1String("IconTileView")) {
        if (auto *view = qobject_cast<IconTileView *>(object))
            return new IconTileAccessible(view);
    }
    return nullptr;
}

} // namespace

IconTileAccessible::IconTileAccessible(IconTileView *view)
    : QAccessibleWidget(view, QAccessible::List)
{ }

IconTileAccessible::~IconTileAccessible()
{
    for (const QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

void IconTileAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

IconTileView *IconTileAccessible::view() const
{
    return static_cast<IconTileView *>(widget());
}

std::optional<IconTileAccessible::Element> IconTileAccessible::elementAt(const IconTileView &view, int index)
{
    if (index < 0)
        return std::nullopt;
    const bool headers = hasHeaders(view);
    qsizetype rest = index;
    for (qsizetype s = 0; s < view.sections().size(); ++s) {
        if (headers) {
            if (rest == 0)
                return Element { s, -1 };
            --rest;
        }
        const qsizetype count = view.sections().at(s).iconIndexes.size();
        if (rest < count)
            return Element { s, rest };
        rest -= count;
    }
    return std::nullopt;
}

int IconTileAccessible::indexOfTile(const IconTileView &view, const IconTileLayout::Hit &hit)
{
    if (!view.iconAt(hit))
        return -1;
    const bool headers = hasHeaders(view);
    qsizetype index = 0;
    for (qsizetype s = 0; s < hit.section; ++s)
        index += view.sections().at(s).iconIndexes.size() + (headers ? 1 : 0);
    return int(index + (headers ? 1 : 0) + hit.position);
}

int IconTileAccessible::childCount() const
{
    qsizetype count = 0;
    for (const IconSection &section : view()->sections())
        count += section.iconIndexes.size();
    if (hasHeaders(*view()))
        count += view()->sections().size();
    return int(count);
}

QAccessibleInterface *IconTileAccessible::child(int index) const
{
    if (m_generation != view()->generation()) {
        // Children of earlier tiles answer as invalid; they are not handed out again.
        for (const QAccessible::Id id : std::as_const(m_children))
            QAccessible::deleteAccessibleInterface(id);
        m_children.clear();
        m_generation = view()->generation();
    }
    if (!elementAt(*view(), index))
        return nullptr;
    if (const auto found = m_children.constFind(index); found != m_children.cend())
        return QAccessible::accessibleInterface(*found);
    auto *item = new IconTileAccessibleItem(view(), index);
    m_children.insert(index, QAccessible::registerAccessibleInterface(item));
    return item;
}

int IconTileAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *item = dynamic_cast<const IconTileAccessibleItem *>(child);
    if (!item || item->view() != view() || !item->isValid())
        return -1;
    return item->index();
}

QAccessibleInterface *IconTileAccessible::childAt(int x, int y) const
{
    const QPoint point = view()->viewport()->mapFromGlobal(QPoint(x, y));
    for (int i = 0, count = childCount(); i < count; ++i) {
        const std::optional<Element> element = elementAt(*view(), i);
        if (element && !element->isHeader()
            && view()->visualRect({ element->section, element->position }).contains(point))
            return child(i);
    }
    return nullptr;
}

QAccessibleInterface *IconTileAccessible::focusChild() const
{
    if (!view()->hasFocus())
        return nullptr;
    const int index = indexOfTile(*view(), view()->currentTile());
    return index < 0 ? nullptr : child(index);
}
