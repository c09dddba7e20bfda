// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconcollectiongrid.h"

IconCollectionGrid::IconCollectionGrid(ContainerManager &manager, ThumbnailProvider &provider,
    std::shared_ptr<FileIconSetter> iconSetter, Settings &settings, QSet<QUuid> containerSelection,
    IconSelectionManager &selectionManager, QString searchText, QWidget *parent)
    : IconTileView(IconTileLayout::Flow::grid, manager, provider, std::move(iconSetter), settings,
        std::move(containerSelection), selectionManager, std::move(searchText), parent)
{ }
