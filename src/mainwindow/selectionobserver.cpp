// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/selectionobserver.h"

#include "library/iconselectionmanager.h"

SelectionObserver::SelectionObserver(
    const ContainerManager &library, IconSelectionManager &iconSelection, QObject *parent)
    : QObject(parent)
    , m_library(library)
    , m_iconSelection(iconSelection)
{ }

void SelectionObserver::containerSelectionChanged(const QSet<QUuid> &selection)
{
    selectionPruneFilter(m_library, m_iconSelection, selection);
    Q_EMIT exporterDisabled(selection.size() != 1);
}
