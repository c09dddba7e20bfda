// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/icnsreader.h"

#include "platform/images/imagebytes.h"
#include "platform/images/imageheader.h"
#include "platform/images/imagesource.h"
#include "platform/text/logging.h"

#include <QtEndian>
#include <QVarLengthArray>

#include <array>
#include <cstring>
#include <memory>

namespace {

enum class Family { compressed, argb, rle24 };

struct ElementKind
{
    const char *type;
    int pixels; // the side of the RLE kinds; compressed data says its own size
    int scale;
    Family family;
    const char *mask;
    int leadingBytes;
};

constexpr std::array<ElementKind, 17> elementKinds { {
    { "icp4", 16, 1, Family::compressed, nullptr, 0 },
    { "icp5", 32, 1, Family::compressed, nullptr, 0 },
    { "icp6", 64, 1, Family::compressed, nullptr, 0 },
    { "ic07", 128, 1, Family::compressed, nullptr, 0 },
    { "ic08", 256, 1, Family::compressed, nullptr, 0 },
    { "ic09", 512, 1, Family::compressed, nullptr, 0 },
    { "ic10", 1024, 2, Family::compressed, nullptr, 0 },
    { "ic11", 32, 2, Family::compressed, nullptr, 0 },
    { "ic12", 64, 2, Family::compressed, nullptr, 0 },
    { "ic13", 256, 2, Family::compressed, nullptr, 0 },
    { "ic14", 512, 2, Family::compressed, nullptr, 0 },
    { "ic04", 16, 1, Family::argb, nullptr, 0 },
    { "ic05", 32, 1, Family::argb, nullptr, 0 },
    { "is32", 16, 1, Family::rle24, "s8mk", 0 },
    { "il32", 32, 1, Family::rle24, "l8mk", 0 },
    { "ih32", 48, 1, Family::rle24, "h8mk", 0 },
    { "it32", 128, 1, Family::rle24, "t8mk", 4 },
} };

const ElementKind *kindOf(QByteArrayView type)
{
    for (const ElementKind &kind : elementKinds) {
        if (type == QByteArrayView(kind.type, 4))
            return &kind;
    }
    return nullptr;
}

using Slice = ImageSource::Slice;

// The mask elements of the RLE kinds; a file holds each at most once that counts (the last).
constexpr std::array<const char *, 4> maskTypes { "s8mk", "l8mk", "h8mk", "t8mk" };
using Masks = std::array<Slice, maskTypes.size()>;

int maskIndex(QByteArrayView type)
{
    for (std::size_t i = 0; i < maskTypes.size(); ++i) {
        if (type == QByteArrayView(maskTypes[i], 4))
            return int(i);
    }
    return -1;
}

std::shared_ptr<const ImageSource> sourceFor(
    const ImageBytes &file, const ElementKind &kind, Slice data, const Masks &masks)
{
    // Enough to tell the data's kind by its signature.
    constexpr qsizetype signatureLength = 12;
    const std::optional<QByteArray> start = file.read(data.offset, qMin(data.length, signatureLength));
    if (!start)
        return nullptr;
    if (ImageHeader::isPng(*start) || ImageHeader::isJpeg2000(*start)) {
        const bool png = ImageHeader::isPng(*start);
        const auto header = file.pictureHeader(data, png);
        if (!header)
            return nullptr;
        return file.source(png ? ImageSource::Kind::Png : ImageSource::Kind::Jpeg2000, data, header->pixelSize,
            QSizeF(header->pixelSize) / kind.scale);
    }
    // Only what the element's header tells is checked here: walking every control byte would cost
    // a good part of a decode for each element of each icon at load. Planes that do not unpack
    // fail when drawn, and the next best representation stands in.
    const QSize size(kind.pixels, kind.pixels);
    if (kind.family == Family::argb) {
        if (!start->startsWith("ARGB") || data.length == 4)
            return nullptr;
        return file.source(ImageSource::Kind::IcnsArgb, Slice { data.offset + 4, data.length - 4 }, size, QSizeF(size));
    }
    if (kind.family == Family::rle24) {
        if (data.length <= kind.leadingBytes)
            return nullptr;
        // A mask of another length than the picture's cannot be matched to it; the picture is opaque then.
        const int index = maskIndex(QByteArrayView(kind.mask, 4));
        Slice mask = index < 0 ? Slice() : masks[std::size_t(index)];
        if (mask.length != qsizetype(size.width()) * size.height())
            mask = {};
        return file.source(ImageSource::Kind::IcnsRle24,
            Slice { data.offset + kind.leadingBytes, data.length - kind.leadingBytes }, size, QSizeF(size), mask);
    }
    return nullptr;
}

} // namespace

bool IcnsReader::isIcns(QByteArrayView data)
{
    return data.startsWith("icns");
}

std::optional<QList<ImageRep>> IcnsReader::read(const QByteArray &file)
{
    return read(ImageBytes::inMemory(file));
}

std::optional<QList<ImageRep>> IcnsReader::read(const ImageBytes &file)
{
    const std::optional<QByteArray> header = file.read(0, 8);
    if (!header || !isIcns(*header))
        return std::nullopt;
    const quint32 total = qFromBigEndian<quint32>(header->constData() + 4);
    if (total < 8 || total > quint64(file.size())) {
        qCDebug(lcPlatformImage) << "ICNS length" << total << "does not fit the file of" << file.size();
        return std::nullopt;
    }
    struct Element
    {
        std::array<char, 4> type;
        Slice data;
    };
    // Read for every icon of a library: no allocation for the few elements a file holds.
    QVarLengthArray<Element, 24> elements;
    Masks masks {};
    const qsizetype end = total;
    qsizetype pos = 8;
    // Each element takes at least 8 bytes, so there are at most end / 8 of them.
    while (pos < end) {
        if (end - pos < 8)
            return std::nullopt;
        const std::optional<QByteArray> elementHeader = file.read(pos, 8);
        if (!elementHeader)
            return std::nullopt;
        Element element {};
        std::memcpy(element.type.data(), elementHeader->constData(), element.type.size());
        const QByteArrayView type(element.type.data(), qsizetype(element.type.size()));
        const quint32 length = qFromBigEndian<quint32>(elementHeader->constData() + 4);
        if (length < 8 || length > quint64(end - pos)) {
            qCDebug(lcPlatformImage) << "ICNS element" << type << "has length" << length;
            return std::nullopt;
        }
        element.data = Slice { pos + 8, qsizetype(length) - 8 };
        elements.append(element);
        if (const int mask = maskIndex(type); mask >= 0)
            masks[std::size_t(mask)] = element.data;
        pos += length;
    }

    QList<ImageRep> reps;
    for (const Element &element : std::as_const(elements)) {
        const QByteArrayView type(element.type.data(), qsizetype(element.type.size()));
        const ElementKind *kind = kindOf(type);
        if (!kind)
            continue;
        if (auto source = sourceFor(file, *kind, element.data, masks))
            reps.append(ImageRep(std::move(source)));
        else
            qCDebug(lcPlatformImage) << "skipping unreadable ICNS element" << type;
    }
    return reps;
}
