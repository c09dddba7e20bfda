// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/containerlistmodel.h"

#include "library/containermanager.h"

#include <algorithm>

ContainerListModel::ContainerListModel(ContainerManager &manager, QObject *parent)
    : QAbstractListModel(parent)
    , m_manager(manager)
    , m_containers(manager.containers())
{
    connect(&m_manager, &ContainerManager::containersChanged, this, [this] { takeContainers(m_manager.containers()); });
    // The titles of a first load, shown until its containers arrive with their icons; as they keep
    // their identifiers, the rows and their selection stay.
    connect(&m_manager, &ContainerManager::containersListed, this, [this](const QList<IconContainer> &containers) {
        if (m_manager.containers().isEmpty())
            takeContainers(containers);
    });
}

void ContainerListModel::takeContainers(const QList<IconContainer> &containers)
{
    Q_EMIT rowsAboutToBeUpdated();
    // Where each row's container now stands, by identifier: the n-th row of an identifier goes to
    // its n-th place; -1 when it is gone.
    QHash<QUuid, QList<int>> places;
    for (int place = int(containers.size()) - 1; place >= 0; --place)
        places[containers.at(place).id].append(place);
    QList<int> target(m_containers.size(), -1);
    for (int row = 0; row < m_containers.size(); ++row) {
        const auto found = places.find(m_containers.at(row).id);
        if (found != places.end() && !found->isEmpty())
            target[row] = found->takeLast();
    }
    // Rows of containers that are gone leave, in runs from the bottom so the rows above keep their
    // positions.
    int row = int(m_containers.size()) - 1;
    while (row >= 0) {
        if (target.at(row) >= 0) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && target.at(first - 1) < 0)
            --first;
        beginRemoveRows(QModelIndex(), first, row);
        m_containers.remove(first, row - first + 1);
        target.remove(first, row - first + 1);
        endRemoveRows();
        row = first - 1;
    }
    // New containers join at the end, then every row moves to its place.
    QList<int> added;
    for (const QList<int> &left : std::as_const(places))
        added.append(left);
    std::sort(added.begin(), added.end());
    if (!added.isEmpty()) {
        beginInsertRows(QModelIndex(), int(m_containers.size()), int(m_containers.size() + added.size()) - 1);
        for (const int place : std::as_const(added)) {
            m_containers.append(containers.at(place));
            target.append(place);
        }
        endInsertRows();
    }
    bool moved = false;
    for (int row = 0; row < target.size() && !moved; ++row)
        moved = target.at(row) != row;
    if (moved) {
        // Persistent indexes, and with them the views' selections, follow their containers.
        Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &index : before)
            after.append(this->index(target.at(index.row()), index.column()));
        m_containers = containers;
        changePersistentIndexList(before, after);
        Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    } else {
        m_containers = containers;
    }
    // Titles and pictures may have changed in place.
    if (!m_containers.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_containers.size()) - 1));
    Q_EMIT rowsUpdated();
}

int ContainerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_containers.size());
}

QVariant ContainerListModel::data(const QModelIndex &index, int role) const
{
    const IconContainer *container = index.isValid() ? containerAt(index.row()) : nullptr;
    if (!container)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return container->title;
    case Qt::ToolTipRole:
        return container->title;
    case IdRole:
        return container->id;
    default:
        return {};
    }
}

QHash<int, QByteArray> ContainerListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(IdRole, "id");
    names.insert(TitleRole, "title");
    return names;
}

const IconContainer *ContainerListModel::containerAt(int row) const
{
    if (row < 0 || row >= m_containers.size())
        return nullptr;
    return &m_containers[row];
}

int ContainerListModel::rowOf(const QUuid &id) const
{
    for (int row = 0; row < m_containers.size(); ++row) {
        if (m_containers[row].id == id)
            return row;
    }
    return -1;
}
