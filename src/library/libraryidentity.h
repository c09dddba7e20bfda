// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/iconselectionmanager.h"
#include "model/iconcontainer.h"

#include <QHashFunctions>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

// "The same icon as before" across loads of the library, which make new identifiers each time:
// the name of its container's folder in the library and the name of its file there.
struct IconIdentity
{
    QString containerFolder;
    QString fileName;

    friend bool operator==(const IconIdentity &, const IconIdentity &) = default;
};

inline size_t qHash(const IconIdentity &identity, size_t seed = 0) noexcept
{
    return qHashMulti(seed, identity.containerFolder, identity.fileName);
}

// Carries what a window selected over a reload. A container is the same when its folder name is;
// an icon when its container's folder name and its file name are. Containers and icons not read
// from the library (no folder or file name), and those gone after the reload, are dropped; the
// rest keep their order.
namespace LibraryIdentity {

// None for an icon or a container that was not read from the library.
std::optional<IconIdentity> of(const IconContainer &container, const Icon &icon);

// `selection`, made in `before`, as identifiers of `after`.
IconSelection carryOver(
    const IconSelection &selection, const QList<IconContainer> &before, const QList<IconContainer> &after);
// The same for a selection of containers.
QSet<QUuid> carryOver(
    const QSet<QUuid> &containerSelection, const QList<IconContainer> &before, const QList<IconContainer> &after);

} // namespace LibraryIdentity
