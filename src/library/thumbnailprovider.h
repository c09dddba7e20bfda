// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/imagecache.h"
#include "platform/platformimage.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <QUuid>

#include <list>

struct Icon;

// Pictures for views, sized for a square of some points on a screen of some device pixel ratio.
// A view asks for what it paints; a picture already decoded comes back at once, otherwise the ask
// is queued and ready() follows on the GUI thread, and the view repaints. Each ask carries an id
// the view chooses (an icon's or a container's) so it knows what to repaint and can say which
// ones it shows now. The pictures themselves are cached by image source and pixel size, never by
// those ids, so a reload of the library finds them again.
//
// Guarantees: queued asks are decoded on the provider's own thread pool once control returns to
// the event loop, so the asks of one paint and the visible ids set after it are known first; asks
// for visible ids go before the others; an ask dropped while queued is never decoded. At ratio 2
// an image draws from its larger representation instead of scaling the 1x one up, and a
// representation whose pixels fail to decode gives way to the next best. A picture keeps its
// representation's aspect ratio inside the square. Call it from the thread it lives on (the GUI
// thread for the application's); ready() is emitted there, also for an ask that turned out
// undecodable (request() then gives a null image at once). Asks of a requester that is destroyed
// are dropped.
class ThumbnailProvider : public QObject
{
    Q_OBJECT

public:
    explicit ThumbnailProvider(QObject *parent = nullptr);
    // With at most `maxThreads` decoding at once (at least one).
    explicit ThumbnailProvider(int maxThreads, QObject *parent = nullptr);
    ~ThumbnailProvider() override;

    // The picture of `image` for a square of `points` points at `devicePixelRatio` (its
    // devicePixelRatio set accordingly); a null image while it is not decoded yet or cannot be.
    QImage request(
        const QObject *requester, QUuid id, const PlatformImage &image, double points, qreal devicePixelRatio);
    // The same for an icon's preview at `points`, with the icon's id.
    QImage request(const QObject *requester, const Icon &icon, double points, qreal devicePixelRatio);

    // The ids `requester` shows now: their queued asks go first, and queued asks of `requester`
    // for any other id are dropped without decoding.
    void setVisible(const QObject *requester, const QList<QUuid> &ids);
    // Drops every queued ask of `requester`; views call it when they go away.
    void cancel(const QObject *requester);

    // The most pixels a picture's side gets; larger asks are served at this size.
    static constexpr int maxSide = 4096;

    // The pixels of image representations, decoded at their own size or scaled for a square:
    // the process's one decode cache, which the provider shares with whoever draws the images
    // it serves.
    ImageCache &decodeCache() { return m_decoded; }

    // Bytes of pictures the provider keeps now, and the bound it keeps them within.
    qint64 cachedBytes() const { return m_pictures.byteCount(); }
    qint64 maxCachedBytes() const { return m_pictures.maxBytes(); }

Q_SIGNALS:
    // A picture that `requester` asked for under `id` can now be had from request().
    void ready(const QObject *requester, QUuid id);

private:
    struct Ask
    {
        const QObject *requester = nullptr;
        QUuid id;
        QList<ImageRep> reps;
        int side = 0;
        qreal devicePixelRatio = 1;
    };

    void watch(const QObject *requester);
    void dispatch();
    void work();
    bool takeAsk(Ask &ask);
    QImage decode(const Ask &ask);

    QThreadPool m_pool;
    ImageCache m_decoded; // by image source and pixel size
    ImageCache m_pictures; // by content key and the side of the square
    QMutex m_mutex; // guards what follows
    std::list<Ask> m_queue;
    QHash<const QObject *, QSet<QUuid>> m_visible;
    QSet<const QObject *> m_watched; // used on the provider's thread only
    int m_workers = 0;
    bool m_dispatchPosted = false;
};
