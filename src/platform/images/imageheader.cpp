// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/imageheader.h"

#include "platform/images/imagelimits.h"
#include "platform/text/logging.h"

#include <QtEndian>

#include <cmath>

namespace {

constexpr quint64 maxTiles = 1024;
constexpr char pngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr char jp2Signature[] = "\x00\x00\x00\x0cjP  \r\n\x87\n";
constexpr char codestreamSignature[] = "\xff\x4f\xff\x51";

template <std::size_t N> bool startsWith(QByteArrayView data, const char (&signature)[N])
{
    return data.startsWith(QByteArrayView(signature, N - 1));
}

quint32 u32(QByteArrayView data, qsizetype at)
{
    return qFromBigEndian<quint32>(data.data() + at);
}
quint16 u16(QByteArrayView data, qsizetype at)
{
    return qFromBigEndian<quint16>(data.data() + at);
}

// pHYs stores pixels per metre, so 72 dpi arrives as 2835; whole dpi give the size the author meant.
double pointsAlong(int pixels, quint32 pixelsPerMetre)
{
    const double dpi = std::round(pixelsPerMetre * 0.0254);
    return dpi >= 1 ? pixels * 72.0 / dpi : pixels;
}

// Whether `start` holds the bytes up to `end`; when not, says so through `needsMore`.
bool holds(QByteArrayView start, qsizetype end, bool *needsMore)
{
    if (end <= start.size())
        return true;
    if (needsMore)
        *needsMore = true;
    return false;
}

std::optional<ImageHeader> readCodestream(QByteArrayView data, qsizetype length, bool *needsMore)
{
    // SOC, SIZ marker, Lsiz, Rsiz, then eight 32-bit sizes and Csiz.
    constexpr qsizetype fixedLength = 4 + 2 + 2 + 8 * 4 + 2;
    if (length < fixedLength || !holds(data, fixedLength, needsMore) || !startsWith(data, codestreamSignature))
        return std::nullopt;
    const quint32 xEnd = u32(data, 8), yEnd = u32(data, 12), xOrigin = u32(data, 16), yOrigin = u32(data, 20);
    const quint32 tileWidth = u32(data, 24), tileHeight = u32(data, 28);
    const quint32 tileX = u32(data, 32), tileY = u32(data, 36);
    const quint16 components = u16(data, 40);
    if (xEnd <= xOrigin || yEnd <= yOrigin || components < 1 || components > 4) {
        qCDebug(lcPlatformImage) << "JPEG 2000 size or component count out of range";
        return std::nullopt;
    }
    // The decoder keeps state per tile, so a few bytes claiming millions of tiles would cost gigabytes.
    if (tileWidth == 0 || tileHeight == 0 || tileX > xOrigin || tileY > yOrigin
        || (quint64(xEnd - tileX) + tileWidth - 1) / tileWidth * ((quint64(yEnd - tileY) + tileHeight - 1) / tileHeight)
            > maxTiles) {
        qCDebug(lcPlatformImage) << "JPEG 2000 tiling out of range";
        return std::nullopt;
    }
    const qint64 width = qint64(xEnd) - xOrigin, height = qint64(yEnd) - yOrigin;
    if (width > ImageLimits::maxSide || height > ImageLimits::maxSide
        || !ImageLimits::acceptable(QSize(int(width), int(height)))) {
        qCDebug(lcPlatformImage) << "JPEG 2000 size too large" << width << height;
        return std::nullopt;
    }
    const QSize pixels { int(width), int(height) };
    return ImageHeader { pixels, QSizeF(pixels) };
}

} // namespace

bool ImageHeader::isPng(QByteArrayView data)
{
    return startsWith(data, pngSignature);
}

bool ImageHeader::isJpeg2000(QByteArrayView data)
{
    return startsWith(data, jp2Signature) || startsWith(data, codestreamSignature);
}

std::optional<ImageHeader> ImageHeader::readPng(QByteArrayView data)
{
    return readPngStart(data, data.size(), nullptr);
}

std::optional<ImageHeader> ImageHeader::readPngStart(QByteArrayView data, qsizetype total, bool *needsMore)
{
    if (!holds(data, qMin<qsizetype>(total, 8), needsMore) || total < 8 || !isPng(data))
        return std::nullopt;
    std::optional<ImageHeader> header;
    qsizetype pos = 8;
    // Everything the header tells lies before the first image data; the rest is left to the
    // decoder, so a large picture costs no walk to its end. Every chunk takes at least 12 bytes,
    // so the walk ends within size / 12 steps.
    while (total - pos >= 12) {
        if (!holds(data, pos + 8, needsMore))
            return std::nullopt;
        const quint32 length = u32(data, pos);
        const QByteArrayView type = data.sliced(pos + 4, 4);
        if (length > quint32(total - pos - 12)) {
            qCDebug(lcPlatformImage) << "PNG chunk runs past the end";
            return std::nullopt;
        }
        if (type == "IDAT" && header)
            return header;
        // Only the bodies read below are needed; the others are stepped over.
        const bool read = !header || type == "pHYs";
        if (read && !holds(data, pos + 8 + qsizetype(length), needsMore))
            return std::nullopt;
        const QByteArrayView body = read ? data.sliced(pos + 8, length) : QByteArrayView();
        if (!header) {
            if (type != "IHDR" || length != 13)
                return std::nullopt;
            const quint32 width = u32(body, 0), height = u32(body, 4);
            if (width > quint32(ImageLimits::maxSide) || height > quint32(ImageLimits::maxSide)
                || !ImageLimits::acceptable(QSize(int(width), int(height)))) {
                qCDebug(lcPlatformImage) << "PNG size out of range" << width << height;
                return std::nullopt;
            }
            header = ImageHeader { QSize(int(width), int(height)), QSizeF(width, height) };
        } else if (type == "pHYs" && length == 9 && body[8] == 1) {
            header->pointSize = QSizeF(pointsAlong(header->pixelSize.width(), u32(body, 0)),
                pointsAlong(header->pixelSize.height(), u32(body, 4)));
        } else if (type == "IEND") {
            break;
        }
        pos += 12 + qsizetype(length);
    }
    qCDebug(lcPlatformImage) << "PNG ends before its image data";
    return std::nullopt;
}

std::optional<ImageHeader> ImageHeader::readJpeg2000(QByteArrayView data)
{
    return readJpeg2000Start(data, data.size(), nullptr);
}

std::optional<ImageHeader> ImageHeader::readJpeg2000Start(QByteArrayView data, qsizetype total, bool *needsMore)
{
    constexpr qsizetype signatureLength = sizeof(jp2Signature) - 1;
    if (!holds(data, qMin(total, signatureLength), needsMore))
        return std::nullopt;
    if (total < signatureLength || !startsWith(data, jp2Signature))
        return readCodestream(data, total, needsMore);
    // Top-level boxes: a 32-bit length (1: a 64-bit length follows, 0: to the end) and a type.
    qsizetype pos = 0;
    while (total - pos >= 8) {
        if (!holds(data, pos + 8, needsMore))
            return std::nullopt;
        quint64 length = u32(data, pos);
        qsizetype headerLength = 8;
        const QByteArrayView type = data.sliced(pos + 4, 4);
        if (length == 1) {
            if (total - pos < 16 || !holds(data, pos + 16, needsMore))
                return std::nullopt;
            length = qFromBigEndian<quint64>(data.data() + pos + 8);
            headerLength = 16;
        } else if (length == 0) {
            length = quint64(total - pos);
        }
        if (length < quint64(headerLength) || length > quint64(total - pos))
            return std::nullopt;
        if (type == "jp2c") {
            const qsizetype body = pos + headerLength;
            return readCodestream(data.sliced(qMin(body, data.size())), qsizetype(length) - headerLength, needsMore);
        }
        pos += qsizetype(length);
    }
    return std::nullopt;
}
