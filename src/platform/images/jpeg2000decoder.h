// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QImage>

// Decodes JPEG 2000 (a JP2 file or a raw codestream) with libopenjp2, which Qt cannot read.
// Gray, gray with alpha, RGB and RGBA pictures of any precision and subsampling; sYCC is turned
// into RGB. Truncated or damaged streams fail instead of giving a partial picture.
class Jpeg2000Decoder
{
public:
    // ARGB32 premultiplied; a null image on any failure or when the picture breaks ImageLimits.
    static QImage decode(QByteArrayView data);
};
