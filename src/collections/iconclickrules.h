// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

#include <Qt>

class IconSelectionManager;

// How a click on an icon tile changes the ordered icon selection. Shift wins over Control (the
// Command key of other desktops) when both are held:
//
// | keys    | effect                                                                        |
// |---------|-------------------------------------------------------------------------------|
// | none    | the selection becomes the clicked icon alone (one change)                     |
// | Control | the clicked icon is deselected when selected, else appended last              |
// | Shift   | empty selection: the clicked icon alone; anchor (the last selected) in this   |
// |         | container: every icon between anchor and click, ascending, appended unless    |
// |         | present (one change in all); anchor elsewhere: nothing                        |
namespace IconClickRules {

// `index` is the clicked icon's position in `container.icons`; an index outside it changes nothing.
void click(
    IconSelectionManager &selection, const IconContainer &container, qsizetype index, Qt::KeyboardModifiers modifiers);

} // namespace IconClickRules
