// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/collectionviewstandin.h"

#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/thumbnailprovider.h"

#include <QStandardItemModel>

namespace {

constexpr int idRole = Qt::UserRole + 1;

} // namespace

CollectionViewStandIn::CollectionViewStandIn(IconViewMode mode, ContainerManager &manager,
    IconSelectionManager &iconSelection, ThumbnailProvider &provider, QWidget *parent)
    : QListView(parent)
    , m_manager(manager)
    , m_iconSelection(iconSelection)
    , m_provider(provider)
    , m_model(new QStandardItemModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_TranslucentBackground);
    viewport()->setAutoFillBackground(false);
    if (mode == IconViewMode::list) {
        setViewMode(QListView::ListMode);
        setIconSize(QSize(32, 32));
    } else {
        setViewMode(QListView::IconMode);
        setResizeMode(QListView::Adjust);
        setMovement(QListView::Static);
        setIconSize(QSize(64, 64));
        setGridSize(QSize(112, 104));
        setWordWrap(true);
    }
    setUniformItemSizes(true);
    connect(&m_manager, &ContainerManager::containersChanged, this, &CollectionViewStandIn::rebuild);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CollectionViewStandIn::takeUserSelection);
    connect(&m_provider, &ThumbnailProvider::ready, this, [this](const QObject *requester, QUuid) {
        if (requester == this)
            rebuild();
    });
}

CollectionViewStandIn::~CollectionViewStandIn()
{
    m_provider.cancel(this);
}

void CollectionViewStandIn::setContainerSelection(QSet<QUuid> selection)
{
    m_containerSelection = std::move(selection);
    rebuild();
}

void CollectionViewStandIn::setSearchText(QString text)
{
    m_searchText = std::move(text);
    rebuild();
}

void CollectionViewStandIn::rebuild()
{
    m_rebuilding = true;
    m_model->clear();
    const int side = iconSize().width();
    for (const IconContainer &container : m_manager.containers()) {
        if (!m_containerSelection.contains(container.id))
            continue;
        for (const Icon &icon : container.icons) {
            if (!icon.matches(m_searchText))
                continue;
            auto *item = new QStandardItem(icon.name);
            item->setData(icon.id, idRole);
            item->setEditable(false);
            const QImage picture = m_provider.request(this, icon, side, devicePixelRatioF());
            if (!picture.isNull())
                item->setIcon(QIcon(QPixmap::fromImage(picture)));
            m_model->appendRow(item);
            if (m_iconSelection.selection().contains(icon.id))
                selectionModel()->select(item->index(), QItemSelectionModel::Select);
        }
    }
    m_rebuilding = false;
}

void CollectionViewStandIn::takeUserSelection(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (m_rebuilding)
        return;
    // Keeps the order of the clicks: the last one clicked is the one Quick Drop applies.
    for (const QModelIndex &index : deselected.indexes())
        m_iconSelection.deselect(index.data(idRole).toUuid());
    for (const QModelIndex &index : selected.indexes())
        m_iconSelection.select(index.data(idRole).toUuid());
}
