// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QSize>
#include <QSizeF>

#include <optional>

// The sizes of a PNG or JPEG 2000 picture, read from its headers without decoding a pixel.
// A header is only returned when its sizes pass ImageLimits.
struct ImageHeader
{
    QSize pixelSize;
    // PNG: from the pHYs chunk (72 dpi when absent); JPEG 2000: the pixel size.
    QSizeF pointSize;

    static bool isPng(QByteArrayView data);
    // A JP2 file or a raw codestream.
    static bool isJpeg2000(QByteArrayView data);

    // Walks the chunk list as well (lengths only), so a truncated file is refused here.
    static std::optional<ImageHeader> readPng(QByteArrayView data);
    // The SIZ marker of the codestream, inside the jp2c box for a JP2 file.
    static std::optional<ImageHeader> readJpeg2000(QByteArrayView data);

    // The same readings from `start`, the first bytes of a picture of `length` bytes whose rest is
    // still in its file: lengths are checked against `length`, so the verdict is the one the whole
    // picture would get. When the header lies past `start`, none, with `needsMore` set.
    static std::optional<ImageHeader> readPngStart(QByteArrayView start, qsizetype length, bool *needsMore);
    static std::optional<ImageHeader> readJpeg2000Start(QByteArrayView start, qsizetype length, bool *needsMore);
};
