// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconlistmodel.h"

#include "collections/creditline.h"
#include "library/containermanager.h"

IconListModel::IconListModel(ContainerManager &manager, QObject *parent)
    : QAbstractListModel(parent)
    , m_manager(manager)
{ }

void IconListModel::setSections(const QList<IconSection> &sections, bool headers)
{
    beginResetModel();
    m_rows.clear();
    m_rowOfIcon.clear();
    m_headerText.clear();
    const QList<IconContainer> &containers = m_manager.containers();
    for (const IconSection &section : sections) {
        if (headers) {
            m_headerText.insert(int(m_rows.size()), creditLine(containers.at(section.containerIndex)));
            m_rows.append({ section.containerIndex, -1 });
        }
        for (const qsizetype index : section.iconIndexes) {
            m_rowOfIcon.insert(containers.at(section.containerIndex).icons.at(index).id, int(m_rows.size()));
            m_rows.append({ section.containerIndex, index });
        }
    }
    endResetModel();
}

int IconListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

bool IconListModel::isHeader(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows.at(row).iconIndex < 0;
}

const Icon *IconListModel::iconAt(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).iconIndex < 0)
        return nullptr;
    const Row &r = m_rows.at(row);
    const QList<IconContainer> &containers = m_manager.containers();
    if (r.containerIndex >= containers.size() || r.iconIndex >= containers.at(r.containerIndex).icons.size())
        return nullptr;
    return &containers.at(r.containerIndex).icons.at(r.iconIndex);
}

int IconListModel::rowOf(const QUuid &iconID) const
{
    return m_rowOfIcon.value(iconID, -1);
}

QVariant IconListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    const QList<IconContainer> &containers = m_manager.containers();
    if (row.containerIndex >= containers.size())
        return {};
    const IconContainer &container = containers.at(row.containerIndex);
    switch (role) {
    case IsHeaderRole:
        return row.iconIndex < 0;
    case ContainerIndexRole:
        return qlonglong(row.containerIndex);
    case IconIndexRole:
        return qlonglong(row.iconIndex);
    default:
        break;
    }
    if (row.iconIndex < 0) {
        if (role == Qt::DisplayRole)
            return m_headerText.value(index.row());
        return {};
    }
    if (row.iconIndex >= container.icons.size())
        return {};
    const Icon &icon = container.icons.at(row.iconIndex);
    switch (role) {
    case Qt::DisplayRole:
        return icon.name;
    case IconIdRole:
        return icon.id;
    default:
        return {};
    }
}

Qt::ItemFlags IconListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isHeader(index.row()))
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}
