// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

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
// identifiers that name no container are ignored.
QList<IconSection> iconSections(
    const QList<IconContainer> &containers, const QSet<QUuid> &containerSelection, const QString &searchText);
