// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconcollectionlist.h"

#include "collections/iconcellpainter.h"
#include "collections/icondragmimedata.h"
#include "collections/iconlistdelegate.h"
#include "collections/iconlistmodel.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "platform/ui/dragselectionresponder.h"

#include <QDrag>
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

IconCollectionList::IconCollectionList(ContainerManager &manager, ThumbnailProvider &provider,
    std::shared_ptr<FileIconSetter> iconSetter, Settings &settings, bool, QSet<QUuid> containerSelection,
    IconSelectionManager &selectionManager, QString searchText, QWidget *parent)
    : QListView(parent)
    , m_manager(manager)
    , m_selectionManager(selectionManager)
    , m_provider(provider)
    , m_iconSetter(std::move(iconSetter))
    , m_settings(settings)
    , m_containerSelection(std::move(containerSelection))
    , m_searchText(std::move(searchText))
{
    m_model = new IconListModel(manager, this);
    m_delegate = new IconListDelegate(selectionManager, provider, this);
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
    connect(&m_manager, &ContainerManager::containersChanged, this, &IconCollectionList::rebuild);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_syncing)
            writeSelection();
    });
    // A click on a row that was selected already changes no rows, but it is now the last one.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (!m_syncing && selectionModel()->isSelected(current))
            writeSelection();
    });
    // A Shift range in another view changes the selection once per icon; the rows follow once.
    connect(&m_selectionManager, &IconSelectionManager::selectionChanged, this, [this] {
        viewport()->update();
        if (m_syncing || m_syncQueued)
            return;
        m_syncQueued = true;
        QMetaObject::invokeMethod(this, &IconCollectionList::syncFromSelection, Qt::QueuedConnection);
    });
    connect(&m_provider, &ThumbnailProvider::ready, this, [this](const QObject *requester, QUuid) {
        if (requester == this)
            viewport()->update();
    });
    rebuild();
}

IconCollectionList::~IconCollectionList()
{
    m_provider.cancel(this);
}

void IconCollectionList::setContainerSelection(QSet<QUuid> selection)
{
    m_containerSelection = std::move(selection);
    rebuild();
}

void IconCollectionList::setSearchText(QString text)
{
    m_searchText = std::move(text);
    rebuild();
}

void IconCollectionList::readListSize()
{
    m_delegate->setEdge(listEdge(m_settings.listIconSize().read()));
}

void IconCollectionList::rebuild()
{
    m_syncing = true;
    m_model->setSections(
        iconSections(m_manager.containers(), m_containerSelection, m_searchText), m_containerSelection.size() >= 2);
    m_syncing = false;
    updateBackground();
    syncFromSelection();
}

void IconCollectionList::updateBackground()
{
    m_showBackground = m_containerSelection.size() == 1;
    std::optional<QColor> colour;
    if (m_showBackground) {
        const QList<IconContainer> &containers = m_manager.containers();
        const auto found = std::find_if(containers.cbegin(), containers.cend(),
            [this](const IconContainer &container) { return m_containerSelection.contains(container.id); });
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

void IconCollectionList::syncFromSelection()
{
    m_syncQueued = false;
    m_syncing = true;
    QItemSelection rows;
    for (const QUuid &id : m_selectionManager.selection()) {
        const int row = m_model->rowOf(id);
        if (row >= 0)
            rows.select(m_model->index(row), m_model->index(row));
    }
    selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    m_syncing = false;
}

void IconCollectionList::writeSelection()
{
    const IconSelection &old = m_selectionManager.selection();
    QSet<QUuid> shownSelected;
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    for (const QModelIndex &index : rows) {
        if (const Icon *icon = m_model->iconAt(index.row()))
            shownSelected.insert(icon->id);
    }
    IconSelection next;
    // Kept in their order: icons the list does not show (unless the list started afresh), and
    // shown ones that stay selected.
    for (const QUuid &id : old) {
        if (m_model->rowOf(id) < 0 ? !m_replacing : shownSelected.contains(id))
            next.insert(id);
    }
    // Newly selected rows follow in row order.
    QList<int> added;
    for (const QModelIndex &index : rows) {
        const Icon *icon = m_model->iconAt(index.row());
        if (icon && !next.contains(icon->id))
            added.append(index.row());
    }
    std::sort(added.begin(), added.end());
    for (const int row : added)
        next.insert(m_model->iconAt(row)->id);
    // The row clicked last goes last: it is the icon the window applies.
    if (const Icon *current = m_model->iconAt(currentIndex().row()); current && shownSelected.contains(current->id)) {
        next.erase(current->id);
        next.insert(current->id);
    }
    m_syncing = true;
    m_selectionManager.setSelection(std::move(next));
    m_syncing = false;
}

QItemSelectionModel::SelectionFlags IconCollectionList::selectionCommand(
    const QModelIndex &index, const QEvent *event) const
{
    const QItemSelectionModel::SelectionFlags command = QListView::selectionCommand(index, event);
    if (m_handlingInput && command.testFlag(QItemSelectionModel::Clear))
        m_replacing = true;
    return command;
}

template <typename Handler> void IconCollectionList::handleSelectionInput(Handler handler)
{
    m_replacing = false;
    m_handlingInput = true;
    handler();
    m_handlingInput = false;
    // The rows may not have changed (a plain click on the one selected row) while hidden icons
    // are still selected.
    if (m_replacing) {
        const IconSelection &selection = m_selectionManager.selection();
        if (std::any_of(selection.begin(), selection.end(), [this](const QUuid &id) { return m_model->rowOf(id) < 0; }))
            writeSelection();
    }
    m_replacing = false;
}

bool IconCollectionList::isHeaderAt(QPoint point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() && m_model->isHeader(index.row());
}

void IconCollectionList::mousePressEvent(QMouseEvent *event)
{
    // A header names its section; pressing it changes nothing, also not the selection.
    m_pressOnHeader = isHeaderAt(event->position().toPoint());
    if (m_pressOnHeader) {
        event->accept();
        return;
    }
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
    handleSelectionInput([this, event] { QListView::keyPressEvent(event); });
}

void IconCollectionList::startDrag(Qt::DropActions)
{
    const Icon *icon = m_model->iconAt(currentIndex().row());
    if (!icon)
        return;
    auto *data = new IconDragMimeData(*icon, m_iconSetter, m_settings);
    data->setSourceView(this);
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    new DragSelectionResponder(drag);
    drag->exec(Qt::CopyAction);
}

void IconCollectionList::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
    QList<QUuid> shown;
    const QModelIndex first = indexAt(QPoint(1, 1));
    const QModelIndex last = indexAt(QPoint(1, viewport()->height() - 1));
    const int end = last.isValid() ? last.row() : m_model->rowCount() - 1;
    for (int row = first.isValid() ? first.row() : 0; first.isValid() && row <= end; ++row) {
        if (const Icon *icon = m_model->iconAt(row))
            shown.append(icon->id);
    }
    if (shown != m_visibleIDs) {
        m_visibleIDs = shown;
        m_provider.setVisible(this, m_visibleIDs);
    }
}
