// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconcollectionlist.h"

#include "collections/iconcellpainter.h"
#include "collections/icondragmimedata.h"
#include "collections/iconlistdelegate.h"
#include "collections/iconmodel.h"
#include "collections/iconselectionbridge.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>

#include <algorithm>

namespace {

int listEdge(ListIconSize size)
{
    switch (size) {
    case ListIconSize::small:
        return 16;
    case ListIconSize::defaultSize:
        return 32;
    case ListIconSize::large:
        return 64;
    }
    return 32;
}

} // namespace

IconCollectionList::IconCollectionList(IconCollectionInputs inputs, QWidget *parent)
    : QListView(parent)
    , m_manager(inputs.manager)
    , m_selectionManager(inputs.iconSelection)
    , m_iconSetter(std::move(inputs.iconSetter))
    , m_settings(inputs.settings)
{
    m_model = new IconModel(m_manager, m_selectionManager, inputs.provider, std::move(inputs.containerSelection),
        std::move(inputs.searchText), this);
    m_delegate = new IconListDelegate(this);
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setAcceptDrops(false);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    readListSize();
    connect(m_settings.listIconSize().notifier(), &SettingsKeyNotifier::changed, this, [this] {
        readListSize();
        scheduleDelayedItemsLayout();
        viewport()->update();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &IconCollectionList::followModelReset);
    m_bridge = new IconSelectionBridge(m_selectionManager, *m_model, *selectionModel(), this);
    followModelReset();
}

void IconCollectionList::setContainerSelection(QSet<QUuid> selection)
{
    m_model->setContainerSelection(std::move(selection));
}

void IconCollectionList::setSearchText(QString text)
{
    m_model->setSearchText(std::move(text));
}

void IconCollectionList::readListSize()
{
    m_delegate->setEdge(listEdge(m_settings.listIconSize().read()));
    m_model->setPictureSize(m_delegate->edge(), devicePixelRatioF());
}

void IconCollectionList::followModelReset()
{
    m_visibleRows = { -1, -1 };
    updateBackground();
}

void IconCollectionList::updateBackground()
{
    const QSet<QUuid> &containerSelection = m_model->containerSelection();
    m_showBackground = containerSelection.size() == 1;
    std::optional<QColor> colour;
    if (m_showBackground) {
        const QList<IconContainer> &containers = m_manager.containers();
        const auto found = std::find_if(
            containers.cbegin(), containers.cend(), [&containerSelection](const IconContainer &container) {
                return containerSelection.contains(container.id);
            });
        if (found != containers.cend())
            colour = IconCellPainter::color(found->backgroundColor);
    }
    QPalette viewportPalette = palette();
    if (colour)
        viewportPalette.setColor(QPalette::Base, *colour);
    viewport()->setPalette(viewportPalette);
    m_delegate->setBackground(colour);
    Q_EMIT showBackgroundChanged(m_showBackground);
}

QItemSelectionModel::SelectionFlags IconCollectionList::selectionCommand(
    const QModelIndex &index, const QEvent *event) const
{
    if (m_movingAnchor)
        return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags command = QListView::selectionCommand(index, event);
    if (m_handlingInput && command.testFlag(QItemSelectionModel::Clear))
        m_bridge->inputReplacesSelection();
    return command;
}

template <typename Handler> void IconCollectionList::handleSelectionInput(Handler handler)
{
    m_bridge->beginInput();
    m_handlingInput = true;
    handler();
    m_handlingInput = false;
    m_bridge->endInput();
}

bool IconCollectionList::isHeaderAt(QPoint point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() && m_model->isHeader(index.row());
}

void IconCollectionList::takeShiftAnchor(const QModelIndex &fallback)
{
    // The list would extend from where its own input last started, which is stale (or row 0)
    // when the selection was made in another presentation.
    const IconSelection &selection = m_selectionManager.selection();
    const int row = selection.empty() ? -1 : m_model->rowOf(selection.back());
    const QModelIndex anchor = row >= 0 ? m_model->index(row) : fallback;
    if (!anchor.isValid() || m_model->isHeader(anchor.row()))
        return;
    m_bridge->withoutWriteBack([this, &anchor] {
        m_movingAnchor = true;
        setCurrentIndex(anchor);
        m_movingAnchor = false;
    });
}

void IconCollectionList::mousePressEvent(QMouseEvent *event)
{
    // A header names its section; pressing it changes nothing, also not the selection.
    m_pressOnHeader = isHeaderAt(event->position().toPoint());
    if (m_pressOnHeader) {
        event->accept();
        return;
    }
    if (event->modifiers().testFlag(Qt::ShiftModifier))
        takeShiftAnchor(indexAt(event->position().toPoint()));
    handleSelectionInput([this, event] { QListView::mousePressEvent(event); });
}

void IconCollectionList::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressOnHeader) {
        event->accept();
        return;
    }
    handleSelectionInput([this, event] { QListView::mouseMoveEvent(event); });
}

void IconCollectionList::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pressOnHeader) {
        m_pressOnHeader = false;
        event->accept();
        return;
    }
    handleSelectionInput([this, event] { QListView::mouseReleaseEvent(event); });
}

void IconCollectionList::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (isHeaderAt(event->position().toPoint())) {
        m_pressOnHeader = true;
        event->accept();
        return;
    }
    handleSelectionInput([this, event] { QListView::mouseDoubleClickEvent(event); });
}

void IconCollectionList::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers().testFlag(Qt::ShiftModifier))
        takeShiftAnchor(currentIndex());
    handleSelectionInput([this, event] { QListView::keyPressEvent(event); });
}

void IconCollectionList::startDrag(Qt::DropActions)
{
    const Icon *icon = m_model->iconAt(currentIndex().row());
    if (!icon)
        return;
    IconDragMimeData::startDrag(this, *icon, m_iconSetter, m_settings);
}

bool IconCollectionList::event(QEvent *event)
{
    // Another screen may have another pixel ratio.
    if (event->type() == QEvent::ScreenChangeInternal)
        m_model->setPictureSize(m_delegate->edge(), devicePixelRatioF());
    return QListView::event(event);
}

void IconCollectionList::hideEvent(QHideEvent *event)
{
    QListView::hideEvent(event);
    // A page of the window's stack that is put away decodes nothing more.
    m_visibleRows = { -1, -1 };
    m_model->setVisibleRows(-1, -1);
}

void IconCollectionList::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    updateVisibleRows();
}

void IconCollectionList::updateGeometries()
{
    QListView::updateGeometries();
    updateVisibleRows();
}

void IconCollectionList::updateVisibleRows()
{
    const QModelIndex first = indexAt(QPoint(1, 1));
    const QModelIndex last = indexAt(QPoint(1, viewport()->height() - 1));
    QPair<int, int> rows { -1, -1 };
    if (first.isValid())
        rows = { first.row(), last.isValid() ? last.row() : m_model->rowCount() - 1 };
    if (rows == m_visibleRows)
        return;
    m_visibleRows = rows;
    m_model->setVisibleRows(rows.first, rows.second);
}
