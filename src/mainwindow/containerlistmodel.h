// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

#include <QAbstractListModel>
#include <QList>

class ContainerManager;

// The library's containers as a list, one row per container in library order; while the library
// holds none, the titles a load has listed (ContainerManager::containersListed()).
// Roles: Qt::DisplayRole and TitleRole give the title, IdRole the container's QUuid.
// A write of the library's containers never resets the model: rows of containers that are gone
// are removed, new ones inserted, and a reorder is announced with layoutChanged() with the
// persistent indexes following their containers by identifier, so views keep their selections.
// rowsAboutToBeUpdated() and rowsUpdated() bracket each write, so that a view can tell the rows'
// selection changing under it from the user changing it.
class ContainerListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { IdRole = Qt::UserRole + 1, TitleRole };

    explicit ContainerListModel(ContainerManager &manager, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The container of a row; nullptr outside the rows.
    const IconContainer *containerAt(int row) const;
    // The row of the first container with that identifier; -1 when none.
    int rowOf(const QUuid &id) const;

Q_SIGNALS:
    void rowsAboutToBeUpdated();
    void rowsUpdated();

private:
    void takeContainers(const QList<IconContainer> &containers);

    ContainerManager &m_manager;
    QList<IconContainer> m_containers;
};
