// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/iconsections.h"
#include "model/icon.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>

class ContainerManager;

// The rows of the list presentation: per section a header row (only while headers are asked
// for) and one row per icon the search shows. Header rows can be neither selected nor dragged.
// Roles: Qt::DisplayRole (the icon's name, or the header's credit line as inline rich text),
// IconIdRole, IsHeaderRole, ContainerIndexRole, IconIndexRole (the icon's position in its
// container's whole icons array).
class IconListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        IconIdRole = Qt::UserRole + 1,
        IsHeaderRole,
        ContainerIndexRole,
        IconIndexRole,
    };

    explicit IconListModel(ContainerManager &manager, QObject *parent = nullptr);

    // Resets the model.
    void setSections(const QList<IconSection> &sections, bool headers);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    bool isHeader(int row) const;
    // The icon of a row; none for a header or a row outside the model.
    const Icon *iconAt(int row) const;
    // The row of an icon; -1 when it is not shown.
    int rowOf(const QUuid &iconID) const;

private:
    struct Row
    {
        qsizetype containerIndex = 0;
        qsizetype iconIndex = -1; // -1 for a header
    };

    ContainerManager &m_manager;
    QList<Row> m_rows;
    QHash<QUuid, int> m_rowOfIcon;
    // Worked out once per reset: the markdown reader is too slow to run on every paint.
    QHash<int, QString> m_headerText;
};
