// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/icnsrle.h"

#include <cstring>

namespace {

// Unpacks one plane of `size` bytes that starts at `pos`: a control byte below 0x80 copies the
// next b + 1 bytes, one of 0x80 or more repeats the next byte b - 125 times. Returns the position
// after the plane, or -1 when the data ends early or a run would pass the plane's end.
qsizetype unpackPlane(QByteArrayView in, qsizetype pos, qsizetype size, uchar *out)
{
    qsizetype done = 0;
    while (done < size) {
        if (pos >= in.size())
            return -1;
        const uchar control = uchar(in[pos++]);
        const bool literal = control < 0x80;
        const qsizetype count = literal ? control + 1 : control - 125;
        const qsizetype needed = literal ? count : 1;
        if (count > size - done || needed > in.size() - pos)
            return -1;
        if (literal)
            std::memcpy(out + done, in.data() + pos, size_t(count));
        else
            std::memset(out + done, in[pos], size_t(count));
        pos += needed;
        done += count;
    }
    return pos;
}

// Unpacks `planes` planes of `size` one after another; false when any of them breaks.
bool unpackPlanes(QByteArrayView in, int planes, QSize size, uchar *out)
{
    const qsizetype planeSize = qsizetype(size.width()) * size.height();
    qsizetype pos = 0;
    for (int i = 0; i < planes; ++i) {
        pos = unpackPlane(in, pos, planeSize, out + i * planeSize);
        if (pos < 0)
            return false;
    }
    return true;
}

} // namespace

QImage IcnsRle::decode(QByteArrayView planes, bool alphaPlane, QByteArrayView mask, QSize size)
{
    const qsizetype planeSize = qsizetype(size.width()) * size.height();
    const int planeCount = alphaPlane ? 4 : 3;
    QByteArray channels(planeCount * planeSize, Qt::Uninitialized);
    auto *first = reinterpret_cast<uchar *>(channels.data());
    if (!unpackPlanes(planes, planeCount, size, first))
        return {};
    const uchar *red = alphaPlane ? first + planeSize : first;
    const uchar *green = red + planeSize;
    const uchar *blue = green + planeSize;
    const uchar *alpha = alphaPlane ? first
        : mask.size() == planeSize  ? reinterpret_cast<const uchar *>(mask.data())
                                    : nullptr;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const qsizetype i = qsizetype(y) * size.width() + x;
            line[x] = qPremultiply(qRgba(red[i], green[i], blue[i], alpha ? alpha[i] : 255));
        }
    }
    return image;
}
