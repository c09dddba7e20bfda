// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/containerlistmodel.h"

#include "library/containermanager.h"

ContainerListModel::ContainerListModel(ContainerManager &manager, QObject *parent)
    : QAbstractListModel(parent)
    , m_manager(manager)
    , m_containers(manager.containers())
{
    connect(&m_manager, &ContainerManager::containersChanged, this, &ContainerListModel::takeContainers);
}

void ContainerListModel::takeContainers()
{
    Q_EMIT rowsAboutToBeUpdated();
    QList<IconContainer> containers = m_manager.containers();
    const int oldCount = int(m_containers.size());
    const int newCount = int(containers.size());
    if (newCount < oldCount) {
        beginRemoveRows(QModelIndex(), newCount, oldCount - 1);
        m_containers.resize(newCount);
        endRemoveRows();
        m_containers = std::move(containers);
    } else if (newCount > oldCount) {
        beginInsertRows(QModelIndex(), oldCount, newCount - 1);
        m_containers = std::move(containers);
        endInsertRows();
    } else {
        m_containers = std::move(containers);
    }
    if (newCount > 0)
        Q_EMIT dataChanged(index(0), index(newCount - 1));
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
