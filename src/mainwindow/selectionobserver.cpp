// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/selectionobserver.h"

#include "library/iconselectionmanager.h"

SelectionObserver::SelectionObserver(IconSelectionManager &iconSelection, QObject *parent)
    : QObject(parent)
    , m_iconSelection(iconSelection)
{ }

void SelectionObserver::containerSelectionChanged(const QSet<QUuid> &selection)
{
    selectionPruneFilter(m_iconSelection, selection);
    Q_EMIT exporterDisabled(selection.size() != 1);
}
