// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

#include <QList>
#include <QSet>
#include <QUuid>

#include <optional>

class ContainerManager;

// One service, not a collection of helpers.
// Turns a window's container selection (an unordered set of container identifiers) into
// containers of the library handed in. Holds no state; the queries read
// the library at each call and never fail: an empty, multiple or stale selection gives nothing or
// fewer containers.
class Utilities
{
public:
    // A copy of the library's first container whose identifier is the selection's only one; none
    // unless the selection holds exactly one identifier that names a container.
    static std::optional<IconContainer> selectedContainer(const ContainerManager &library, const QSet<QUuid> &from);
    // The positions in ContainerManager::containers() of the selected containers, in library
    // order; identifiers that name no container are ignored. A view that edits a container in
    // place copies the list, changes the element at such a position and writes the whole list back
    // with ContainerManager::setContainers(), so that observers see one change. The positions hold
    // until the library's containers are next replaced.
    static QList<qsizetype> selectedContainerIndexes(const ContainerManager &library, const QSet<QUuid> &from);
    // Copies of those containers, in library order, for reading.
    static QList<IconContainer> selectedContainers(const ContainerManager &library, const QSet<QUuid> &from);
};
