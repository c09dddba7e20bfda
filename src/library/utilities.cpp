// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/utilities.h"

#include "library/containermanager.h"

#include <algorithm>

std::optional<IconContainer> Utilities::selectedContainer(const QSet<QUuid> &from)
{
    if (from.size() != 1)
        return std::nullopt;
    const QUuid id = *from.cbegin();
    const QList<IconContainer> &containers = ContainerManager::shared().containers();
    const auto found = std::find_if(
        containers.cbegin(), containers.cend(), [&id](const IconContainer &container) { return container.id == id; });
    if (found == containers.cend())
        return std::nullopt;
    return *found;
}

QList<qsizetype> Utilities::selectedContainerIndexes(const QSet<QUuid> &from)
{
    QList<qsizetype> indexes;
    const QList<IconContainer> &containers = ContainerManager::shared().containers();
    for (qsizetype i = 0; i < containers.size(); ++i) {
        if (from.contains(containers.at(i).id))
            indexes.append(i);
    }
    return indexes;
}

QList<IconContainer> Utilities::selectedContainers(const QSet<QUuid> &from)
{
    const QList<IconContainer> &containers = ContainerManager::shared().containers();
    QList<IconContainer> selected;
    for (const qsizetype index : selectedContainerIndexes(from))
        selected.append(containers.at(index));
    return selected;
}
