// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for the image layer so that this branch links on its own; the image branch brings the
// real definitions and this file goes away.
#include "model/icon.h"
#include "model/iconcontainer.h"

QList<IconPreviewRep> Icon::makePreviewReps() const
{
    return {};
}

std::optional<PlatformImage> Icon::previewImage(double) const
{
    return std::nullopt;
}

PlatformImage IconContainer::iconImage(SidebarIconSize) const
{
    return {};
}
