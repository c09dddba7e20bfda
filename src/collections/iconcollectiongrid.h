// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/icontileview.h"

#include <memory>

// The grid presentation: one section per selected container in library order, adaptive columns
// of tiles at "iconPreviewSize", a pinned credit-line header per section while two or more
// containers are shown, and the colour of a single selected container behind everything.
// The main window hands in the container selection and search text through the setters and
// connects its "Deselect All" command to deselectAll().
class IconCollectionGrid : public IconTileView
{
    Q_OBJECT

public:
    explicit IconCollectionGrid(IconCollectionInputs inputs, QWidget *parent = nullptr);
};
