// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/icondroptargetposition.h"
#include "library/iconselectionmanager.h"
#include "model/icon.h"

#include <QList>

class QDropEvent;

// Functions the icon views call on a drop, not a Qt item delegate.
// Reordering icons inside one container by dropping on a tile. What moves is decided by the icon
// selection alone, never by what the drag carries; icons never move between containers.
namespace IconDropDelegate {

// The side of a tile `tileWidth` wide for a pointer at `x` in the tile's own coordinates: after
// past the tile's (truncated) half, before up to and at it.
IconDropTargetPosition position(double x, int tileWidth);

// Moves the selected icons of `icons` as one block, in their order in `icons`, in front of the
// icon at `index` (before) or of the one after it (after), or to the end. `index` may be stale:
// the destination is clamped to 0…icons.size(). Identifiers not in `icons` are skipped.
void moveSelected(QList<Icon> &icons, const IconSelection &selection, qsizetype index, IconDropTargetPosition position);

// Whether a drop may reorder: only a drag that one of our own icon views started in this process,
// never text or files from another program.
bool accepts(const QDropEvent &event);

} // namespace IconDropDelegate
