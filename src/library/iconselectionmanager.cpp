// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/iconselectionmanager.h"

#include "library/containermanager.h"

#include <QHash>

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

void IconSelectionManager::deselect(const QUuid &id)
{
    m_selection.erase(id);
    Q_EMIT selectionChanged();
}

QList<Icon> selectedIcons(const IconSelection &selection)
{
    QList<Icon> result;
    if (selection.empty())
        return result;
    const ContainerManager &library = ContainerManager::shared();

    // Each identifier could scan the lookups, the containers and a container's icons on its own;
    // one pass over each instead keeps a large selection of a large library linear in their sizes,
    // and finds the same first container and first icon.
    QHash<QUuid, QUuid> containerOf;
    for (const IconLookup &lookup : library.iconLookupSet()) {
        if (selection.contains(lookup.id) && !containerOf.contains(lookup.id))
            containerOf.insert(lookup.id, lookup.containerID);
    }
    if (containerOf.isEmpty())
        return result;
    QSet<QUuid> wanted;
    for (const QUuid &containerID : std::as_const(containerOf))
        wanted.insert(containerID);

    QHash<QUuid, const Icon *> found;
    for (const IconContainer &container : library.containers()) {
        // Removing marks the first container of an identifier as the one that counts.
        if (!wanted.remove(container.id))
            continue;
        for (const Icon &icon : container.icons) {
            const auto entry = containerOf.constFind(icon.id);
            if (entry != containerOf.cend() && *entry == container.id && !found.contains(icon.id))
                found.insert(icon.id, &icon);
        }
        if (wanted.isEmpty())
            break;
    }

    result.reserve(found.size());
    for (const QUuid &id : selection) {
        if (const Icon *icon = found.value(id))
            result.append(*icon);
    }
    return result;
}

void selectionPruneFilter(IconSelectionManager &manager, const QSet<QUuid> &containerSelection)
{
    for (const Icon &icon : selectedIcons(manager.selection())) {
        if (!containerSelection.contains(icon.containerID))
            manager.deselect(icon.id);
    }
}
