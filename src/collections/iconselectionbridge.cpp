// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconselectionbridge.h"

#include "collections/iconmodel.h"
#include "library/iconselectionmanager.h"

#include <QItemSelectionModel>

#include <algorithm>

IconSelectionBridge::IconSelectionBridge(
    IconSelectionManager &selectionManager, IconModel &model, QItemSelectionModel &rows, QObject *parent)
    : QObject(parent)
    , m_selectionManager(selectionManager)
    , m_model(model)
    , m_rows(rows)
{
    // A reset clears the rows without a signal; the icon selection stays as it is.
    connect(&m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_syncing = true; });
    connect(&m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_syncing = false;
        syncRows();
    });
    connect(&m_rows, &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_syncing)
            writeSelection();
    });
    // A click on a row that was selected already changes no rows, but it is now the last one.
    connect(&m_rows, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (!m_syncing && m_rows.isSelected(current))
            writeSelection();
    });
    connect(&m_selectionManager, &IconSelectionManager::selectionChanged, this, &IconSelectionBridge::queueSync);
    syncRows();
}

void IconSelectionBridge::beginInput()
{
    m_replacing = false;
}

void IconSelectionBridge::endInput()
{
    if (m_replacing) {
        const IconSelection &selection = m_selectionManager.selection();
        if (std::any_of(selection.begin(), selection.end(), [this](const QUuid &id) { return m_model.rowOf(id) < 0; }))
            writeSelection();
    }
    m_replacing = false;
}

void IconSelectionBridge::queueSync()
{
    if (m_syncing || m_syncQueued)
        return;
    m_syncQueued = true;
    QMetaObject::invokeMethod(this, &IconSelectionBridge::syncRows, Qt::QueuedConnection);
}

void IconSelectionBridge::syncRows()
{
    m_syncQueued = false;
    m_syncing = true;
    QItemSelection rows;
    for (const QUuid &id : m_selectionManager.selection()) {
        const int row = m_model.rowOf(id);
        if (row >= 0)
            rows.select(m_model.index(row), m_model.index(row));
    }
    m_rows.select(rows, QItemSelectionModel::ClearAndSelect);
    // Settles them: a Shift range that follows replaces the view's last range, never these.
    m_rows.select(QItemSelection(), QItemSelectionModel::Select);
    m_syncing = false;
}

void IconSelectionBridge::writeSelection()
{
    const IconSelection &old = m_selectionManager.selection();
    QSet<QUuid> shownSelected;
    const QModelIndexList rows = m_rows.selectedIndexes();
    for (const QModelIndex &index : rows) {
        if (const Icon *icon = m_model.iconAt(index.row()))
            shownSelected.insert(icon->id);
    }
    IconSelection next;
    // Kept in their order: icons the rows do not show (unless the input started afresh), and
    // shown ones that stay selected.
    for (const QUuid &id : old) {
        if (m_model.rowOf(id) < 0 ? !m_replacing : shownSelected.contains(id))
            next.insert(id);
    }
    // Newly selected rows follow in row order.
    QList<int> added;
    for (const QModelIndex &index : rows) {
        const Icon *icon = m_model.iconAt(index.row());
        if (icon && !next.contains(icon->id))
            added.append(index.row());
    }
    std::sort(added.begin(), added.end());
    for (const int row : added)
        next.insert(m_model.iconAt(row)->id);
    // The row clicked last goes last: it is the icon the window applies.
    if (const Icon *current = m_model.iconAt(m_rows.currentIndex().row());
        current && shownSelected.contains(current->id)) {
        next.erase(current->id);
        next.insert(current->id);
    }
    m_syncing = true;
    m_selectionManager.setSelection(std::move(next));
    m_syncing = false;
}
