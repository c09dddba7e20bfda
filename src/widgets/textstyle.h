// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

// The text styles smaller than a widget's own font.
namespace TextStyle {

// One step smaller than `body`, for short labels beside or under what they name (12 points on a
// 13-point body).
QFont callout(const QFont &body);

} // namespace TextStyle
