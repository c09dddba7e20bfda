// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/images/imagerep.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QSize>

#include <optional>

class ImageBytes;

// Reads the element table of an Apple Icon Image file. Picture elements become representations
// in file order: PNG and JPEG 2000 (told by their data), ARGB (ic04, ic05) and 24-bit RLE with
// their 8-bit masks (is32, il32, ih32, it32). Other elements are skipped, and so is a picture
// element whose data does not check out; 2x elements get half their pixel size in points.
// Reading touches headers only (RLE planes are not walked); pixels are decoded by
// ImageRep::bitmap(), and RLE planes (IcnsRle) that do not unpack fail there.
class IcnsReader
{
public:
    static bool isIcns(QByteArrayView data);
    // None when the file's structure is broken (an element length below 8 or past the end).
    static std::optional<QList<ImageRep>> read(const QByteArray &file);
    // The same, reading of a stored file only the element table and the pictures' headers.
    static std::optional<QList<ImageRep>> read(const ImageBytes &file);
};
