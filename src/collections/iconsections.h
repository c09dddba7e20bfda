// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

class ContainerManager;

#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

// One section of a collection view: a selected container and the icons of it that the search
// shows. Positions are positions in ContainerManager::containers() and in the container's whole
// icons array, also while a search hides others, so rules that work on the array can use them.
struct IconSection
{
    QUuid containerID;
    qsizetype containerIndex = 0;
    QList<qsizetype> iconIndexes;
};

// The sections for a container selection, in library order whatever the order of selection;
// identifiers that name no container are ignored. `foldedSearchText` is the search text as
// IconSearchKey::folded() gives it; the icons shown are those whose Icon::matches() holds for it.
QList<IconSection> iconSections(
    const ContainerManager &library, const QSet<QUuid> &containerSelection, const QString &foldedSearchText);
