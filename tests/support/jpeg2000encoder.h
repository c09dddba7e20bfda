// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

// Lossless JPEG 2000 with libopenjp2, so that tests can compare decoded pixels exactly.
class Jpeg2000Encoder
{
public:
    enum class Container { jp2, codestream };
    // RGBA, 8 bits per component; empty on failure.
    static QByteArray encode(const QImage &image, Container container);
};
