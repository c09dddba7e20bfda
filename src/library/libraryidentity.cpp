// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/libraryidentity.h"

#include <QHash>

namespace LibraryIdentity {

std::optional<IconIdentity> of(const IconContainer &container, const Icon &icon)
{
    if (container.folderName.isEmpty() || !icon.filename || icon.filename->isEmpty())
        return std::nullopt;
    return IconIdentity { container.folderName, *icon.filename };
}

IconSelection carryOver(
    const IconSelection &selection, const QList<IconContainer> &before, const QList<IconContainer> &after)
{
    IconSelection carried;
    if (selection.empty())
        return carried;
    // One pass over each library, whatever the selection's size.
    QHash<QUuid, IconIdentity> identityOf;
    QHash<IconIdentity, QUuid> wanted;
    QSet<QString> folders;
    for (const IconContainer &container : before) {
        for (const Icon &icon : container.icons) {
            if (!selection.contains(icon.id) || identityOf.contains(icon.id))
                continue;
            if (const std::optional<IconIdentity> identity = of(container, icon)) {
                identityOf.insert(icon.id, *identity);
                wanted.insert(*identity, QUuid());
                folders.insert(identity->containerFolder);
            }
        }
    }
    for (const IconContainer &container : after) {
        if (!folders.contains(container.folderName))
            continue;
        for (const Icon &icon : container.icons) {
            const std::optional<IconIdentity> identity = of(container, icon);
            if (!identity)
                continue;
            // The first icon of an identity is the one carried to.
            const auto found = wanted.find(*identity);
            if (found != wanted.end() && found->isNull())
                *found = icon.id;
        }
    }
    for (const QUuid &id : selection) {
        const auto identity = identityOf.constFind(id);
        if (identity == identityOf.cend())
            continue;
        if (const QUuid now = wanted.value(*identity); !now.isNull())
            carried.insert(now);
    }
    return carried;
}

QSet<QUuid> carryOver(
    const QSet<QUuid> &containerSelection, const QList<IconContainer> &before, const QList<IconContainer> &after)
{
    QSet<QString> folders;
    for (const IconContainer &container : before) {
        if (containerSelection.contains(container.id) && !container.folderName.isEmpty())
            folders.insert(container.folderName);
    }
    QSet<QUuid> carried;
    for (const IconContainer &container : after) {
        if (folders.remove(container.folderName))
            carried.insert(container.id);
    }
    return carried;
}

} // namespace LibraryIdentity
