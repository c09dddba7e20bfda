// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/thumbnailcache.h"
#include "platform/images/platformimage.h"

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
// Keeping: a view that says what it shows (setVisible()) keeps the pictures of those ids and of
// the ids about a screen either way of them; a view that never says so keeps every picture it asked
// for, one per id, until it is cancelled or destroyed. Every other picture joins a remainder of at
// most maxRemainderBytes(), from which those left longest ago (in a scroll, the farthest) are
// dropped first. So decoded pixels stay bounded by what the screens show, however many icons a
// view scrolls through.
//
// Guarantees: queued asks are decoded on the provider's own thread pool once control returns to
// the event loop, so the asks of one paint and the visible ids set after it are known first; asks
// for visible ids go before the others; an ask dropped while queued is never decoded; request()
// never decodes. At ratio 2 an image draws from its larger representation instead of scaling the
// 1x one up, and a representation whose pixels fail to decode gives way to the next best. A
// picture keeps its representation's aspect ratio inside the square, and comes premultiplied at
// the device's pixels, so that a painter copies it without converting or scaling. Call it from
// the thread it lives on (the GUI thread for the application's); ready() is emitted there, also for
// an ask that turned out undecodable (request() then gives a null image at once). Asks of a
// requester that is destroyed are dropped.
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

    // The ids `requester` shows now, and those about a screen either way of them (`nearby`): the
    // pictures of both are kept, queued asks for shown ids go first, and queued asks of
    // `requester` for any other id are dropped without decoding.
    void setVisible(const QObject *requester, const QList<QUuid> &ids, const QList<QUuid> &nearby = {});
    // Drops every queued ask of `requester` and lets go of its pictures; views call it when they go away.
    void cancel(const QObject *requester);

    // The most pixels a picture's side gets; larger asks are served at this size.
    static constexpr int maxSide = 4096;

    // Bytes of pictures the provider keeps now, of those views keep, and the bound of the rest.
    qint64 cachedBytes() const { return m_pictures.byteCount(); }
    qint64 keptBytes() const { return m_pictures.heldBytes(); }
    qint64 maxRemainderBytes() const { return m_pictures.maxRemainderBytes(); }
    void setMaxRemainderBytes(qint64 bytes) { m_pictures.setMaxRemainderBytes(bytes); }

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
    // What makes two asks the same.
    struct AskKey
    {
        const QObject *requester = nullptr;
        QUuid id;
        int side = 0;
        qreal devicePixelRatio = 1;
        friend bool operator==(const AskKey &, const AskKey &) = default;
        friend size_t qHash(const AskKey &key, size_t seed = 0)
        {
            return qHashMulti(seed, quintptr(key.requester), key.id, key.side, key.devicePixelRatio);
        }
    };
    static AskKey keyOf(const Ask &ask) { return { ask.requester, ask.id, ask.side, ask.devicePixelRatio }; }
    // Removes the queued asks `drop` is true for.
    template <typename Drop> void dropAsksLocked(Drop drop);

    // What one requester keeps; used on the provider's thread only.
    struct Holder
    {
        // Whether it said what it shows; until then it keeps all it asks for.
        bool declared = false;
        QSet<QUuid> kept;
        QHash<QUuid, ThumbnailCache::Key> held;
        // Asked for since it last said what it shows, not kept yet.
        QHash<QUuid, ThumbnailCache::Key> asked;
    };

    void watch(const QObject *requester);
    void noteAsk(const QObject *requester, QUuid id, const ThumbnailCache::Key &key);
    void hold(Holder &holder, QUuid id, const ThumbnailCache::Key &key);
    void dispatch();
    void work();
    bool takeAsk(Ask &ask);
    QImage decode(const Ask &ask);

    QThreadPool m_pool;
    ThumbnailCache m_pictures;
    QHash<const QObject *, Holder> m_holders;
    QMutex m_mutex; // guards what follows
    std::list<Ask> m_queue;
    QSet<AskKey> m_queued; // the keys of m_queue's asks
    QHash<const QObject *, QSet<QUuid>> m_visible;
    QSet<const QObject *> m_watched; // used on the provider's thread only
    int m_workers = 0;
    bool m_dispatchPosted = false;
};
