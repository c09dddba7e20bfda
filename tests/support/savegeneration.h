// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

#include <QImage>

// Containers told apart by a generation number, so that a test can say which save a folder holds,
// and whether it holds parts of two: every icon's data, credits and file name carry the number.
namespace SaveGeneration {

// "Big", with `icons` ICNS icons "Icon 0"… of `iconBytes` bytes each.
IconContainer container(int generation, int icons, qsizetype iconBytes);
// The generation a loaded container holds whole; -1 when it is a mix or incomplete.
int generationOf(const IconContainer &container, int icons, qsizetype iconBytes);
// A picture whose PNG is about `bytes` long, different for every generation.
QImage picture(int generation, qsizetype bytes);

} // namespace SaveGeneration
