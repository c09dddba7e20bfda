// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/imagesource.h"

#include "platform/files/storedfile.h"
#include "platform/images/icnsrle.h"
#include "platform/images/jpeg2000decoder.h"
#include "platform/text/logging.h"

#include <QBuffer>
#include <QHashFunctions>
#include <QImageReader>

#include <utility>

namespace {

// Premultiplied on this thread. Qt converts a large image by splitting it over the GUI's own
// thread pool and waiting; a decoder doing that fills the pool, and the window's next large fill
// (a scroll bar's groove, a view's background) then waits behind it for a frame or more.
QImage premultiplied(QImage image)
{
    if (image.format() == QImage::Format_RGB32) {
        // Its unused byte is already 0xff: the same pixels, read as opaque.
        image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        return image;
    }
    if (image.format() != QImage::Format_ARGB32)
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = qPremultiply(row[x]);
    }
    image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    return image;
}
} // namespace

ImageSource::ImageSource(Kind kind, QByteArray file, Slice data, QSize pixelSize, QSizeF pointSize, Slice mask)
    : m_kind(kind)
    , m_file(std::move(file))
    , m_data(data)
    , m_mask(mask)
    , m_pixelSize(pixelSize)
    , m_pointSize(pointSize)
{ }

ImageSource::ImageSource(
    Kind kind, std::shared_ptr<const StoredFile> file, Slice data, QSize pixelSize, QSizeF pointSize, Slice mask)
    : ImageSource(kind, QByteArray(), data, pixelSize, pointSize, mask)
{
    m_stored = std::move(file);
}

QByteArrayView ImageSource::data() const
{
    return m_stored ? QByteArrayView() : QByteArrayView(m_file).sliced(m_data.offset, m_data.length);
}

QByteArrayView ImageSource::mask() const
{
    return m_stored ? QByteArrayView() : QByteArrayView(m_file).sliced(m_mask.offset, m_mask.length);
}

std::optional<QByteArray> ImageSource::readStored(Slice slice) const
{
    if (slice.length == 0)
        return QByteArray();
    QString failure;
    auto bytes = m_stored->read(slice.offset, slice.length, &failure);
    if (!bytes)
        qCDebug(lcPlatformImage) << failure;
    return bytes;
}

quint64 ImageSource::contentKey() const
{
    quint64 key = m_contentKey.load(std::memory_order_relaxed);
    if (key != 0)
        return key;
    // The process's own seed, so that a stranger's file cannot be made to collide with another.
    const size_t seed = QHashSeed::globalSeed();
    // A stored file is known by its identity, which a rewrite changes: no read to find the key.
    if (m_stored)
        key = qHashMulti(seed, int(m_kind), m_pixelSize.width(), m_pixelSize.height(), m_pointSize.width(),
            m_pointSize.height(), m_stored->contentKey(), m_data.offset, m_data.length, m_mask.offset, m_mask.length);
    else
        key = qHashMulti(seed, int(m_kind), m_pixelSize.width(), m_pixelSize.height(), m_pointSize.width(),
            m_pointSize.height(), qHash(data(), seed), qHash(mask(), seed ^ 0x9e3779b9u));
    key = key == 0 ? 1 : key;
    m_contentKey.store(key, std::memory_order_relaxed);
    return key;
}

QImage ImageSource::decode() const
{
    if (m_failed.load(std::memory_order_relaxed))
        return {};
    QImage image;
    if (m_stored) {
        const std::optional<QByteArray> bytes = readStored(m_data);
        const std::optional<QByteArray> mask = bytes ? readStored(m_mask) : std::nullopt;
        if (bytes && mask)
            image = decodeOnce(*bytes, *mask);
    } else {
        image = decodeOnce(data(), mask());
    }
    if (!image.isNull() && image.size() != m_pixelSize) {
        qCDebug(lcPlatformImage) << "decoded" << image.size() << "where the header said" << m_pixelSize;
        image = {};
    }
    if (image.isNull())
        m_failed.store(true, std::memory_order_relaxed);
    return image;
}

QImage ImageSource::decodeOnce(QByteArrayView data, QByteArrayView mask) const
{
    switch (m_kind) {
    case Kind::Png:
    case Kind::QtReadable: {
        const QByteArrayView bytes = data;
        // A view of the shared bytes: the reader copies nothing.
        QByteArray raw = QByteArray::fromRawData(bytes.data(), bytes.size());
        QBuffer buffer(&raw);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, m_kind == Kind::Png ? QByteArrayLiteral("png") : QByteArray());
        QImage image = reader.read();
        if (image.isNull())
            qCDebug(lcPlatformImage) << "cannot decode:" << reader.errorString();
        return premultiplied(std::move(image));
    }
    case Kind::Jpeg2000:
        return Jpeg2000Decoder::decode(data);
    case Kind::IcnsArgb:
        return IcnsRle::decode(data, true, {}, m_pixelSize);
    case Kind::IcnsRle24:
        return IcnsRle::decode(data, false, mask, m_pixelSize);
    }
    return {};
}
