// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>

// The run-length coding of the ICNS RLE element kinds, apart from the reader that finds them.
namespace IcnsRle {

// Decodes alpha, red, green and blue planes (ARGB), or red, green and blue planes with a raw mask
// (opaque when the mask is empty). A null image when the planes do not fill `size` exactly.
QImage decode(QByteArrayView planes, bool alphaPlane, QByteArrayView mask, QSize size);

} // namespace IcnsRle
