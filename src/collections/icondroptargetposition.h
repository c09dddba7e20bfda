// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The side of a target tile on which dragged icons would be inserted.
enum class IconDropTargetPosition { before, after };
