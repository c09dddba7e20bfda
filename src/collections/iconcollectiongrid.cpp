// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconcollectiongrid.h"

IconCollectionGrid::IconCollectionGrid(IconCollectionInputs inputs, QWidget *parent)
    : IconTileView(IconTileLayout::Flow::grid, std::move(inputs), parent)
{ }
