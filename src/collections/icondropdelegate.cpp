// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/icondropdelegate.h"

#include "collections/icondragmimedata.h"

#include <QDropEvent>

#include <algorithm>

namespace IconDropDelegate {

IconDropTargetPosition position(double x, int tileWidth)
{
    const double half = double(tileWidth / 2);
    return x > half ? IconDropTargetPosition::after : IconDropTargetPosition::before;
}

void moveSelected(QList<Icon> &icons, const IconSelection &selection, qsizetype index, IconDropTargetPosition position)
{
    const qsizetype count = icons.size();
    QList<bool> moving(count, false);
    bool any = false;
    for (const QUuid &id : selection) {
        const auto found
            = std::find_if(icons.cbegin(), icons.cend(), [&id](const Icon &icon) { return icon.id == id; });
        if (found != icons.cend()) {
            moving[found - icons.cbegin()] = true;
            any = true;
        }
    }
    if (!any)
        return;
    const qsizetype wanted = position == IconDropTargetPosition::after ? index + 1 : index;
    const qsizetype destination = std::clamp<qsizetype>(wanted, 0, count);

    // The destination is an offset in the array before the move: the block lands in front of the
    // icon that stood there, which is the first unmoved icon at or past it.
    QList<Icon> block;
    QList<Icon> front;
    QList<Icon> back;
    for (qsizetype i = 0; i < count; ++i) {
        if (moving.at(i))
            block.append(icons.at(i));
        else if (i < destination)
            front.append(icons.at(i));
        else
            back.append(icons.at(i));
    }
    icons = front + block + back;
}

bool accepts(const QDropEvent &event)
{
    return IconDragMimeData::isOwnDrag(event.mimeData());
}

} // namespace IconDropDelegate
