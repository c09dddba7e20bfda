// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconclickrules.h"

#include "library/iconselectionmanager.h"

#include <algorithm>

namespace IconClickRules {

void click(
    IconSelectionManager &selection, const IconContainer &container, qsizetype index, Qt::KeyboardModifiers modifiers)
{
    // A tile may outlive a change of its container by one event; it then stands for nothing.
    if (index < 0 || index >= container.icons.size())
        return;
    const QUuid id = container.icons.at(index).id;

    if (modifiers.testFlag(Qt::ShiftModifier)) {
        if (selection.selection().empty()) {
            selection.select(id);
            return;
        }
        const QUuid anchor = selection.selection().back();
        const auto found = std::find_if(container.icons.cbegin(), container.icons.cend(),
            [&anchor](const Icon &icon) { return icon.id == anchor; });
        if (found == container.icons.cend())
            return;
        const qsizetype anchorIndex = found - container.icons.cbegin();
        const qsizetype lower = std::min(anchorIndex, index);
        const qsizetype upper = std::max(anchorIndex, index);
        QList<QUuid> range;
        range.reserve(upper - lower + 1);
        for (qsizetype i = lower; i <= upper; ++i)
            range.append(container.icons.at(i).id);
        selection.select(range);
        return;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        if (selection.selection().contains(id))
            selection.deselect(id);
        else
            selection.select(id);
        return;
    }
    IconSelection only;
    only.insert(id);
    selection.setSelection(std::move(only));
}

} // namespace IconClickRules
