// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/optionenums.h"

#include <QListView>
#include <QSet>
#include <QUuid>

class ContainerManager;
class IconSelectionManager;
class QStandardItemModel;
class ThumbnailProvider;

// Stands where the grid, list and gallery go until they are built: the icons of the selected
// containers in library order, filtered by the search text, as a plain icon or list view whose
// selection (in click order) is the window's icon selection, so that Quick Drop can apply it.
// It has none of the presentations' own looks, click rules, drag out or reordering.
class CollectionViewStandIn : public QListView
{
    Q_OBJECT

public:
    CollectionViewStandIn(IconViewMode mode, ContainerManager &manager, IconSelectionManager &iconSelection,
        ThumbnailProvider &provider, QWidget *parent = nullptr);
    ~CollectionViewStandIn() override;

    void setContainerSelection(QSet<QUuid> selection);
    void setSearchText(QString text);

private:
    void rebuild();
    void takeUserSelection(const QItemSelection &selected, const QItemSelection &deselected);

    ContainerManager &m_manager;
    IconSelectionManager &m_iconSelection;
    ThumbnailProvider &m_provider;
    QStandardItemModel *m_model;
    QSet<QUuid> m_containerSelection;
    QString m_searchText;
    bool m_rebuilding = false;
};
