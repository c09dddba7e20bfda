// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/utilities.h"

#include "library/containermanager.h"

std::optional<IconContainer> Utilities::selectedContainer(const ContainerManager &library, const QSet<QUuid> &from)
{
    if (from.size() != 1)
        return std::nullopt;
    if (const IconContainer *container = library.container(*from.cbegin()))
        return *container;
    return std::nullopt;
}

QList<qsizetype> Utilities::selectedContainerIndexes(const ContainerManager &library, const QSet<QUuid> &from)
{
    QList<qsizetype> indexes;
    const QList<IconContainer> &containers = library.containers();
    for (qsizetype i = 0; i < containers.size(); ++i) {
        if (from.contains(containers.at(i).id))
            indexes.append(i);
    }
    return indexes;
}

QList<IconContainer> Utilities::selectedContainers(const ContainerManager &library, const QSet<QUuid> &from)
{
    const QList<IconContainer> &containers = library.containers();
    QList<IconContainer> selected;
    for (const qsizetype index : selectedContainerIndexes(library, from))
        selected.append(containers.at(index));
    return selected;
}
