// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/icontileaccessibleitem.h"

#include "collections/iconmodel.h"
#include "collections/icontileaccessible.h"
#include "collections/icontileview.h"
#include "library/iconselectionmanager.h"

#include <QScrollBar>
#include <QTextDocumentFragment>
#include <QWindow>

IconTileAccessibleItem::IconTileAccessibleItem(IconTileView *view, int index)
    : m_view(view)
    , m_index(index)
    , m_generation(view->generation())
{ }

bool IconTileAccessibleItem::isValid() const
{
    return m_view && m_view->generation() == m_generation && IconTileAccessible::elementAt(*m_view, m_index);
}

QWindow *IconTileAccessibleItem::window() const
{
    return m_view ? m_view->window()->windowHandle() : nullptr;
}

QAccessibleInterface *IconTileAccessibleItem::parent() const
{
    return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
}

QString IconTileAccessibleItem::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !isValid())
        return {};
    const IconTileAccessible::Element element = *IconTileAccessible::elementAt(*m_view, m_index);
    if (element.isHeader())
        return QTextDocumentFragment::fromHtml(m_view->iconModel()->creditText(element.section)).toPlainText();
    return m_view->iconAt({ element.section, element.position })->name;
}

QRect IconTileAccessibleItem::rect() const
{
    if (!isValid())
        return {};
    const IconTileAccessible::Element element = *IconTileAccessible::elementAt(*m_view, m_index);
    QRect local;
    if (element.isHeader()) {
        const QRectF header = m_view->tileLayout().headerRect(element.section);
        local = header.translated(-m_view->horizontalScrollBar()->value(), -m_view->verticalScrollBar()->value())
                    .toAlignedRect();
    } else {
        local = m_view->visualRect(IconTileLayout::Hit { element.section, element.position });
    }
    return QRect(m_view->viewport()->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role IconTileAccessibleItem::role() const
{
    const std::optional<IconTileAccessible::Element> element
        = m_view ? IconTileAccessible::elementAt(*m_view, m_index) : std::nullopt;
    return element && element->isHeader() ? QAccessible::Heading : QAccessible::ListItem;
}

QAccessible::State IconTileAccessibleItem::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    const IconTileAccessible::Element element = *IconTileAccessible::elementAt(*m_view, m_index);
    const QRect shown = m_view->viewport()->rect();
    if (element.isHeader()) {
        state.readOnly = true;
        return state;
    }
    const IconTileLayout::Hit hit { element.section, element.position };
    if (!shown.intersects(m_view->visualRect(hit))) {
        state.invisible = true;
        state.offscreen = true;
    }
    state.selectable = true;
    state.multiSelectable = true;
    state.focusable = true;
    state.selected = m_view->selectionManager().selection().contains(m_view->iconAt(hit)->id);
    const IconTileLayout::Hit current = m_view->currentTile();
    state.focused = m_view->hasFocus() && current.section == hit.section && current.position == hit.position;
    return state;
}

void *IconTileAccessibleItem::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

QStringList IconTileAccessibleItem::actionNames() const
{
    if (!isValid() || IconTileAccessible::elementAt(*m_view, m_index)->isHeader())
        return {};
    return { pressAction(), toggleAction() };
}

void IconTileAccessibleItem::doAction(const QString &actionName)
{
    if (!actionNames().contains(actionName))
        return;
    const IconTileAccessible::Element element = *IconTileAccessible::elementAt(*m_view, m_index);
    m_view->clickTile(
        { element.section, element.position }, actionName == toggleAction() ? Qt::ControlModifier : Qt::NoModifier);
}
