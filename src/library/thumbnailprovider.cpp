// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/thumbnailprovider.h"

#include "model/icon.h"

#include <QMetaObject>
#include <QMutexLocker>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {

// Decoding is heavy, and the GUI thread and other work need cores of their own.
int defaultThreads()
{
    return std::clamp(QThread::idealThreadCount() / 2, 1, 4);
}

// The pixels a representation gets inside a square of `side` pixels, its aspect ratio kept.
QSize fitted(QSize pixels, int side)
{
    const QSize size = pixels.scaled(side, side, Qt::KeepAspectRatio);
    return size.expandedTo(QSize(1, 1));
}

// Premultiplied, the form the raster painter draws without converting at every paint.
QImage atRatio(QImage image, qreal devicePixelRatio)
{
    if (image.isNull())
        return image;
    if (image.hasAlphaChannel() && image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    if (image.devicePixelRatio() != devicePixelRatio)
        image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

} // namespace

ThumbnailProvider::ThumbnailProvider(QObject *parent)
    : ThumbnailProvider(defaultThreads(), parent)
{ }

ThumbnailProvider::ThumbnailProvider(int maxThreads, QObject *parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(std::max(1, maxThreads));
    m_pictures.setMaxBytes(ImageCache::defaultMaxBytes / 2);
}

ThumbnailProvider::~ThumbnailProvider()
{
    {
        QMutexLocker lock(&m_mutex);
        m_queue.clear();
    }
    m_pool.waitForDone();
}

QImage ThumbnailProvider::request(
    const QObject *requester, QUuid id, const PlatformImage &image, double points, qreal devicePixelRatio)
{
    const double pixels = std::round(points * devicePixelRatio);
    // Also refuses NaN, which fails every comparison.
    if (!(pixels >= 1) || !(devicePixelRatio > 0))
        return {};
    const int side = int(std::min(pixels, double(maxSide)));
    const QList<ImageRep> &reps = image.drawingRepresentations();
    const std::optional<ImageRep> rep = PlatformImage::bestOf(reps, side);
    if (!rep)
        return {};
    const quint64 key = rep->contentKey();
    if (QImage picture = m_pictures.find(key, QSize(side, side)); !picture.isNull())
        return atRatio(std::move(picture), devicePixelRatio);
    // Drawn already by someone else (a bitmap() call): no need to queue.
    if (QImage decoded = rep->cachedBitmap(fitted(rep->pixelSize(), side), m_decoded); !decoded.isNull()) {
        decoded = atRatio(std::move(decoded), devicePixelRatio);
        m_pictures.insert(key, QSize(side, side), decoded);
        return decoded;
    }

    watch(requester);
    QMutexLocker lock(&m_mutex);
    const bool queued = std::any_of(m_queue.cbegin(), m_queue.cend(), [&](const Ask &ask) {
        return ask.requester == requester && ask.id == id && ask.side == side
            && ask.devicePixelRatio == devicePixelRatio;
    });
    if (!queued)
        m_queue.push_back(Ask { requester, id, reps, side, devicePixelRatio });
    if (!m_dispatchPosted) {
        // After the current paint, so that the visible ids it sets count for all of its asks.
        m_dispatchPosted = true;
        QMetaObject::invokeMethod(this, &ThumbnailProvider::dispatch, Qt::QueuedConnection);
    }
    return {};
}

QImage ThumbnailProvider::request(const QObject *requester, const Icon &icon, double points, qreal devicePixelRatio)
{
    if (!icon.dataImage().isNull())
        return request(requester, icon.id, icon.dataImage(), points, devicePixelRatio);
    const std::optional<PlatformImage> image = icon.previewImage(points);
    if (!image)
        return {};
    return request(requester, icon.id, *image, points, devicePixelRatio);
}

void ThumbnailProvider::setVisible(const QObject *requester, const QList<QUuid> &ids)
{
    watch(requester);
    QSet<QUuid> visible(ids.cbegin(), ids.cend());
    QMutexLocker lock(&m_mutex);
    m_queue.remove_if([&](const Ask &ask) { return ask.requester == requester && !visible.contains(ask.id); });
    m_visible.insert(requester, std::move(visible));
}

void ThumbnailProvider::cancel(const QObject *requester)
{
    QMutexLocker lock(&m_mutex);
    m_queue.remove_if([requester](const Ask &ask) { return ask.requester == requester; });
    m_visible.remove(requester);
}

void ThumbnailProvider::watch(const QObject *requester)
{
    if (!requester || m_watched.contains(requester))
        return;
    m_watched.insert(requester);
    connect(requester, &QObject::destroyed, this, [this, requester] {
        m_watched.remove(requester);
        cancel(requester);
    });
}

void ThumbnailProvider::dispatch()
{
    QMutexLocker lock(&m_mutex);
    m_dispatchPosted = false;
    const int wanted = std::min<int>(int(m_queue.size()), m_pool.maxThreadCount()) - m_workers;
    for (int i = 0; i < wanted; ++i) {
        ++m_workers;
        m_pool.start([this] { work(); });
    }
}

bool ThumbnailProvider::takeAsk(Ask &ask)
{
    QMutexLocker lock(&m_mutex);
    if (m_queue.empty()) {
        --m_workers;
        return false;
    }
    auto next = std::find_if(m_queue.begin(), m_queue.end(), [this](const Ask &queued) {
        const auto visible = m_visible.constFind(queued.requester);
        return visible != m_visible.cend() && visible->contains(queued.id);
    });
    if (next == m_queue.end())
        next = m_queue.begin();
    ask = std::move(*next);
    m_queue.erase(next);
    return true;
}

void ThumbnailProvider::work()
{
    Ask ask;
    while (takeAsk(ask)) {
        decode(ask);
        QMetaObject::invokeMethod(
            this, [this, requester = ask.requester, id = ask.id] { Q_EMIT ready(requester, id); },
            Qt::QueuedConnection);
    }
}

QImage ThumbnailProvider::decode(const Ask &ask)
{
    // Each failed decode marks its representation, so the loop ends within their count.
    for (qsizetype tries = 0; tries < ask.reps.size(); ++tries) {
        const std::optional<ImageRep> rep = PlatformImage::bestOf(ask.reps, ask.side);
        if (!rep)
            break;
        const quint64 key = rep->contentKey();
        if (QImage picture = m_pictures.find(key, QSize(ask.side, ask.side)); !picture.isNull())
            return picture;
        QImage picture = atRatio(rep->bitmap(fitted(rep->pixelSize(), ask.side), m_decoded), ask.devicePixelRatio);
        if (!picture.isNull()) {
            m_pictures.insert(key, QSize(ask.side, ask.side), picture);
            return picture;
        }
        if (!rep->hasFailed())
            break;
    }
    return {};
}
