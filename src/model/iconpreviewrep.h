// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconenums.h"
#include "platform/images/platformimage.h"

// A preview of an icon at one size; the image's point size is, as a rule, the size's point size.
struct IconPreviewRep
{
    IconSize size = IconSize::size16;
    PlatformImage image;
};
