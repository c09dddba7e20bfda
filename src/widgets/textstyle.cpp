// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/textstyle.h"

#include <algorithm>

namespace TextStyle {

QFont callout(const QFont &body)
{
    QFont font = body;
    if (body.pointSizeF() > 0)
        font.setPointSizeF(body.pointSizeF() * 12.0 / 13.0);
    else
        font.setPixelSize(std::max(1, body.pixelSize() * 12 / 13));
    return font;
}

} // namespace TextStyle
