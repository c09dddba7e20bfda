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
}

ThumbnailProvider::~ThumbnailProvider()
{
    {
        QMutexLocker lock(&m_mutex);
        m_queue.clear();
        m_queued.clear();
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
    const ThumbnailCache::Key key { rep->contentKey(), side };
    watch(requester);
    noteAsk(requester, id, key);
    if (QImage picture = m_pictures.find(key); !picture.isNull())
        return atRatio(std::move(picture), devicePixelRatio);

    QMutexLocker lock(&m_mutex);
    Ask ask { requester, id, reps, side, devicePixelRatio };
    if (!m_queued.contains(keyOf(ask))) {
        m_queued.insert(keyOf(ask));
        m_queue.push_back(std::move(ask));
    }
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

void ThumbnailProvider::setVisible(const QObject *requester, const QList<QUuid> &ids, const QList<QUuid> &nearby)
{
    watch(requester);
    QSet<QUuid> visible(ids.cbegin(), ids.cend());
    Holder &holder = m_holders[requester];
    holder.declared = true;
    holder.kept = visible;
    holder.kept.unite(QSet<QUuid>(nearby.cbegin(), nearby.cend()));
    for (auto held = holder.held.begin(); held != holder.held.end();) {
        if (holder.kept.contains(held.key())) {
            ++held;
            continue;
        }
        m_pictures.release(held.value());
        held = holder.held.erase(held);
    }
    for (auto asked = holder.asked.cbegin(); asked != holder.asked.cend(); ++asked) {
        if (holder.kept.contains(asked.key()))
            hold(holder, asked.key(), asked.value());
    }
    holder.asked.clear();

    QMutexLocker lock(&m_mutex);
    dropAsksLocked([&](const Ask &ask) { return ask.requester == requester && !holder.kept.contains(ask.id); });
    m_visible.insert(requester, std::move(visible));
}

void ThumbnailProvider::cancel(const QObject *requester)
{
    if (const auto holder = m_holders.constFind(requester); holder != m_holders.cend()) {
        for (const ThumbnailCache::Key &key : holder->held)
            m_pictures.release(key);
        m_holders.erase(holder);
    }
    QMutexLocker lock(&m_mutex);
    dropAsksLocked([requester](const Ask &ask) { return ask.requester == requester; });
    m_visible.remove(requester);
}

void ThumbnailProvider::noteAsk(const QObject *requester, QUuid id, const ThumbnailCache::Key &key)
{
    // Without a requester nothing would ever let go of its pictures: they join the remainder.
    if (!requester)
        return;
    Holder &holder = m_holders[requester];
    if (!holder.declared || holder.kept.contains(id))
        hold(holder, id, key);
    else
        holder.asked.insert(id, key);
}

void ThumbnailProvider::hold(Holder &holder, QUuid id, const ThumbnailCache::Key &key)
{
    auto held = holder.held.find(id);
    if (held != holder.held.end() && held.value() == key)
        return;
    // Taken before the old one is let go, so that a picture held under another id stays.
    m_pictures.hold(key);
    if (held != holder.held.end()) {
        m_pictures.release(held.value());
        held.value() = key;
    } else {
        holder.held.insert(id, key);
    }
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
    m_queued.remove(keyOf(ask));
    m_queue.erase(next);
    return true;
}

template <typename Drop> void ThumbnailProvider::dropAsksLocked(Drop drop)
{
    m_queue.remove_if([&](const Ask &ask) {
        if (!drop(ask))
            return false;
        m_queued.remove(keyOf(ask));
        return true;
    });
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
    const std::optional<ImageRep> best = PlatformImage::bestOf(ask.reps, ask.side);
    if (!best)
        return {};
    // Another ask (another id of equal content, another view) may have made it meanwhile.
    if (QImage picture = m_pictures.find({ best->contentKey(), ask.side }); !picture.isNull())
        return picture;
    // Decoded for this picture alone: only the picture is kept, so memory follows what views keep.
    ImageRep drawnFrom;
    QImage picture = atRatio(PlatformImage::fittedBitmap(ask.reps, ask.side, &drawnFrom), ask.devicePixelRatio);
    if (!picture.isNull())
        m_pictures.insert({ drawnFrom.contentKey(), ask.side }, picture);
    return picture;
}
