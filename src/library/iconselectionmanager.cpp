// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/iconselectionmanager.h"

#include "library/containermanager.h"

#include <utility>

IconSelectionManager::IconSelectionManager(QObject *parent)
    : QObject(parent)
{ }

void IconSelectionManager::setSelection(IconSelection selection)
{
    m_selection = std::move(selection);
    Q_EMIT selectionChanged();
}

void IconSelectionManager::select(std::optional<QUuid> id)
{
    if (!id)
        return;
    m_selection.insert(*id);
    Q_EMIT selectionChanged();
}

void IconSelectionManager::select(const QList<QUuid> &ids)
{
    for (const QUuid &id : ids)
        m_selection.insert(id);
    Q_EMIT selectionChanged();
}

void IconSelectionManager::deselect(const QUuid &id)
{
    m_selection.erase(id);
    Q_EMIT selectionChanged();
}

QList<Icon> selectedIcons(const ContainerManager &library, const IconSelection &selection)
{
    QList<Icon> result;
    result.reserve(qsizetype(selection.size()));
    for (const QUuid &id : selection) {
        if (const Icon *icon = library.resolveIcon(id))
            result.append(*icon);
    }
    return result;
}

const Icon *lastSelectedIcon(const ContainerManager &library, const IconSelection &selection)
{
    for (auto it = selection.rbegin(); it != selection.rend(); ++it) {
        if (const Icon *icon = library.resolveIcon(*it))
            return icon;
    }
    return nullptr;
}

void selectionPruneFilter(
    const ContainerManager &library, IconSelectionManager &manager, const QSet<QUuid> &containerSelection)
{
    const IconSelection &selection = manager.selection();
    IconSelection kept;
    kept.reserve(selection.size());
    bool pruned = false;
    for (const QUuid &id : selection) {
        const std::optional<QUuid> container = library.resolvedContainerID(id);
        if (container && !containerSelection.contains(*container))
            pruned = true;
        else
            kept.insert(id);
    }
    if (pruned)
        manager.setSelection(std::move(kept));
}
