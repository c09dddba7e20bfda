// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/sidebarview.h"

#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/containerlistmodel.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/listactions.h"
#include "mainwindow/quickdropview.h"
#include "mainwindow/sidebarrowdelegate.h"

#include <QListView>
#include <QMenu>
#include <QVBoxLayout>

#include <utility>

SidebarView::SidebarView(ContainerManager &manager, ContainerSelection &selection, IconSelectionManager &iconSelection,
    ThumbnailProvider &provider, std::shared_ptr<FileIconSetter> iconSetter, Settings &settings, QWidget *parent)
    : QWidget(parent)
    , m_manager(manager)
    , m_selection(selection)
    , m_iconSelection(iconSelection)
    , m_provider(provider)
    , m_settings(settings)
{
    setMinimumWidth(minimumWidth);
    setMaximumWidth(maximumWidth);

    m_model = new ContainerListModel(manager, this);
    m_list = new QListView(this);
    m_list->setModel(m_model);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformItemSizes(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setAccessibleName(tr("Containers"));
    m_delegate = new SidebarRowDelegate(provider, m_list, this);
    m_list->setItemDelegate(m_delegate);

    m_quickDrop = new QuickDropView(provider, std::move(iconSetter), this);
    // The window puts its Import and Export commands into it.
    m_moreMenu = new QMenu(this);
    ListActionsOptions options;
    options.moreActionItems = m_moreMenu;
    auto *listActions = new ListActions(std::move(options), this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_quickDrop);
    layout->addWidget(listActions);

    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &SidebarView::takeUserSelection);
    connect(&m_selection, &ContainerSelection::changed, this, [this] {
        if (!m_applyingSelection)
            applySelection();
    });
    // Rows of containers that are gone leave the rows' selection; the window's selection is the
    // window's to carry over.
    connect(m_model, &ContainerListModel::rowsAboutToBeUpdated, this, [this] { m_applyingSelection = true; });
    connect(m_model, &ContainerListModel::rowsUpdated, this, [this] { m_applyingSelection = false; });

    connect(&m_iconSelection, &IconSelectionManager::selectionChanged, this, &SidebarView::refreshQuickDropIcon);
    connect(&m_manager, &ContainerManager::containersChanged, this, &SidebarView::refreshQuickDropIcon);
    connect(&m_manager, &ContainerManager::iconLookupSetChanged, this, &SidebarView::refreshQuickDropIcon);

    connect(m_settings.sidebarIconSize().notifier(), &SettingsKeyNotifier::changed, this,
        &SidebarView::followIconSizeSetting);
    connect(&m_provider, &ThumbnailProvider::ready, this, [this](const QObject *requester, QUuid id) {
        if (requester != m_list)
            return;
        const int row = m_model->rowOf(id);
        if (row >= 0)
            m_list->update(m_model->index(row));
    });

    m_delegate->setIconSize(m_settings.sidebarIconSize().read());
    applySelection();
    refreshQuickDropIcon();
}

SidebarView::~SidebarView()
{
    m_provider.cancel(m_list);
}

QSize SidebarView::sizeHint() const
{
    return { idealWidth, QWidget::sizeHint().height() };
}

void SidebarView::applySelection()
{
    const QSet<QUuid> &ids = m_selection.ids();
    QItemSelection rows;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row);
        if (ids.contains(index.data(ContainerListModel::IdRole).toUuid()))
            rows.select(index, index);
    }
    m_applyingSelection = true;
    m_list->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    m_applyingSelection = false;
}

void SidebarView::takeUserSelection()
{
    if (m_applyingSelection)
        return;
    QSet<QUuid> ids;
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    for (const QModelIndex &index : selected)
        ids.insert(index.data(ContainerListModel::IdRole).toUuid());
    // Identifiers that no row shows any more (a stale selection) give way to what the user chose.
    m_applyingSelection = true;
    m_selection.setIds(std::move(ids));
    m_applyingSelection = false;
}

void SidebarView::refreshQuickDropIcon()
{
    const Icon *icon = lastSelectedIcon(m_manager, m_iconSelection.selection());
    m_quickDrop->setIcon(icon ? std::optional<Icon>(*icon) : std::nullopt);
}

void SidebarView::followIconSizeSetting()
{
    m_delegate->setIconSize(m_settings.sidebarIconSize().read());
    m_list->doItemsLayout();
    m_list->viewport()->update();
}
