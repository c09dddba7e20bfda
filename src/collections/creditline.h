// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

#include <QString>

// The container's title rendered from markdown in bold (one longer than 1000 characters as plain
// text), then " by " and the author as plain text when there is one; inline rich text (HTML) for a
// label. Needs a QGuiApplication, as the markdown reader asks for fonts.
QString creditLine(const IconContainer &container);
