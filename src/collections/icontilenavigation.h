// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/icontilelayout.h"

#include <Qt>

#include <optional>

// Where the keyboard moves the current tile of a grid or of the gallery's strip. Tiles are taken
// in reading order through the sections; headers and empty sections are passed over.
//
// | key             | grid                                        | strip                      |
// |-----------------|---------------------------------------------|----------------------------|
// | Left, Right     | the tile before or after, across rows       | the tile before or after   |
// | Up, Down        | the tile above or below, into the section   | not taken                  |
// |                 | before or after at the same column          |                            |
// | Home, End       | the first or the last tile                  | the same                   |
// | Page Up, Down   | `page` rows up or down                      | `page` tiles left or right |
//
// With no current tile every key taken goes to the first tile (End to the last). At an edge the
// current tile stays.
namespace IconTileNavigation {

// None for a key the view does not take, or with no tile at all.
std::optional<IconTileLayout::Hit> move(
    const IconTileLayout &layout, const IconTileLayout::Hit &from, Qt::Key key, qsizetype page);

} // namespace IconTileNavigation
