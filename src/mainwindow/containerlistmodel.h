// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

#include <QAbstractListModel>
#include <QList>

class ContainerManager;

// The library's containers as a list, one row per container in library order.
// Roles: Qt::DisplayRole and TitleRole give the title, IdRole the container's QUuid.
// A write of the library's containers updates the rows in place (rows are inserted or removed at
// the end only when the count changes) and never resets the model, so views keep their selection
// models; rows then hold whatever container now stands at their position, so a view re-applies its
// selection by identifier between rowsAboutToBeUpdated() and rowsUpdated().
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
    void takeContainers();

    ContainerManager &m_manager;
    QList<IconContainer> m_containers;
};
