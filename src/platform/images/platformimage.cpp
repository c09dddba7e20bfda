// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/platformimage.h"

#include "platform/images/icnsreader.h"
#include "platform/images/imagebytes.h"
#include "platform/images/imageheader.h"
#include "platform/images/imagelimits.h"
#include "platform/images/imagesource.h"
#include "platform/text/logging.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>

// The core is a static library, so its resources are registered only when asked for. Outside
// the anonymous namespace, where the macro's declaration must live.
static void registerResources()
{
    Q_INIT_RESOURCE(core);
}

namespace {

qint64 pixelCount(const ImageRep &rep)
{
    return qint64(rep.pixelSize().width()) * rep.pixelSize().height();
}

std::optional<ImageRep> singleRep(const ImageBytes &file)
{
    using Kind = ImageSource::Kind;
    const ImageSource::Slice whole { 0, file.size() };
    // Enough to tell PNG and JPEG 2000 by their signatures.
    constexpr qsizetype signatureLength = 12;
    const std::optional<QByteArray> start = file.read(0, qMin(whole.length, signatureLength));
    if (!start)
        return std::nullopt;
    if (ImageHeader::isPng(*start) || ImageHeader::isJpeg2000(*start)) {
        const bool png = ImageHeader::isPng(*start);
        const auto header = file.pictureHeader(whole, png);
        if (!header)
            return std::nullopt;
        return ImageRep(file.source(png ? Kind::Png : Kind::Jpeg2000, whole, header->pixelSize, header->pointSize));
    }
    // Other formats have headers of their own kinds; a stored one is read whole, which is rare.
    const std::optional<QByteArray> data = file.read(0, whole.length);
    if (!data)
        return std::nullopt;
    QByteArray raw = QByteArray::fromRawData(data->constData(), data->size());
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.canRead() ? reader.size() : QSize();
    if (!ImageLimits::acceptable(size)) {
        qCDebug(lcPlatformImage) << "not an image, or of no readable size:" << reader.errorString();
        return std::nullopt;
    }
    return ImageRep(file.source(Kind::QtReadable, whole, size, QSizeF(size)));
}

} // namespace

PlatformImage::PlatformImage(QList<ImageRep> reps)
    : m_reps(std::move(reps))
{
    double most = -1;
    for (const ImageRep &rep : std::as_const(m_reps)) {
        const QSizeF points = rep.pointSize();
        if (points.width() * points.height() > most) {
            most = points.width() * points.height();
            m_size = points;
        }
    }
}

std::optional<PlatformImage> PlatformImage::fromData(const QByteArray &data)
{
    return fromBytes(ImageBytes::inMemory(data), IcnsReader::isIcns(data));
}

std::optional<PlatformImage> PlatformImage::fromStoredFile(std::shared_ptr<const StoredFile> file, QByteArray start)
{
    const bool icns = IcnsReader::isIcns(start);
    return fromBytes(ImageBytes::inFile(std::move(file), std::move(start)), icns);
}

std::optional<PlatformImage> PlatformImage::fromBytes(const ImageBytes &bytes, bool icns)
{
    if (icns) {
        std::optional<QList<ImageRep>> reps = IcnsReader::read(bytes);
        if (!reps || reps->isEmpty())
            return std::nullopt;
        return PlatformImage(std::move(*reps));
    }
    std::optional<ImageRep> rep = singleRep(bytes);
    if (!rep)
        return std::nullopt;
    return PlatformImage({ *rep });
}

PlatformImage PlatformImage::named(const QString &name)
{
    static QMutex mutex;
    static QHash<QString, PlatformImage> images;
    static const bool registered = (registerResources(), true);
    Q_UNUSED(registered);
    QMutexLocker lock(&mutex);
    if (const auto found = images.constFind(name); found != images.cend())
        return *found;
    QList<ImageRep> reps;
    const QDir dir(QStringLiteral(":/images/") + name);
    const QStringList files = dir.entryList({ QStringLiteral("*.png") }, QDir::Files);
    for (const QString &file : files) {
        QFile resource(dir.filePath(file));
        if (!resource.open(QIODevice::ReadOnly))
            continue;
        if (const auto image = fromData(resource.readAll()))
            reps.append(image->representations());
    }
    std::stable_sort(
        reps.begin(), reps.end(), [](const ImageRep &a, const ImageRep &b) { return pixelCount(a) < pixelCount(b); });
    const PlatformImage image(std::move(reps));
    images.insert(name, image);
    return image;
}

PlatformImage PlatformImage::fromRepresentation(const ImageRep &rep, QSizeF pointSize)
{
    if (rep.isNull())
        return {};
    PlatformImage image({ rep });
    image.m_size = pointSize;
    return image;
}

PlatformImage PlatformImage::fromRepresentation(const ImageRep &rep, QSizeF pointSize, QList<ImageRep> drawFrom)
{
    PlatformImage image = fromRepresentation(rep, pointSize);
    if (!image.isNull())
        image.m_drawFrom = std::move(drawFrom);
    return image;
}

std::optional<ImageRep> PlatformImage::bestRepresentation(double points) const
{
    return bestOf(m_reps, points);
}

std::optional<ImageRep> PlatformImage::bestOf(const QList<ImageRep> &reps, double points)
{
    const ImageRep *smallestCovering = nullptr;
    const ImageRep *largest = nullptr;
    for (const ImageRep &rep : reps) {
        if (rep.isNull() || rep.hasFailed())
            continue;
        const QSize pixels = rep.pixelSize();
        if (pixels.width() >= points && pixels.height() >= points
            && (!smallestCovering || pixelCount(rep) < pixelCount(*smallestCovering)))
            smallestCovering = &rep;
        if (!largest || pixelCount(rep) > pixelCount(*largest))
            largest = &rep;
    }
    if (const ImageRep *best = smallestCovering ? smallestCovering : largest)
        return *best;
    return std::nullopt;
}

QImage PlatformImage::decodedBest(const QList<ImageRep> &reps, double points, ImageRep *drawnFrom)
{
    // Each failed decode marks its representation, so the loop ends within their count.
    for (qsizetype tries = 0; tries < reps.size(); ++tries) {
        const std::optional<ImageRep> rep = bestOf(reps, points);
        if (!rep)
            break;
        QImage image = rep->decodedBitmap();
        if (!image.isNull()) {
            if (drawnFrom)
                *drawnFrom = *rep;
            return image;
        }
        if (!rep->hasFailed())
            break;
    }
    return {};
}

QImage PlatformImage::fittedBitmap(const QList<ImageRep> &reps, int side, ImageRep *drawnFrom)
{
    if (side < 1)
        return {};
    ImageRep rep;
    QImage image = decodedBest(reps, side, &rep);
    if (image.isNull())
        return image;
    const QSize fitted = rep.pixelSize().scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (image.size() != fitted)
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (drawnFrom)
        *drawnFrom = rep;
    return image;
}
