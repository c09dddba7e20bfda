// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/platformimage.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QUuid>

struct Icon;

// Pictures for views, sized for a square of some points on a screen of some device pixel ratio.
// A view asks for what it paints; a picture already decoded comes back at once, otherwise the ask
// is queued and ready() follows on the GUI thread, and the view repaints. Each ask carries an id
// the view chooses (an icon's or a container's) so it knows what to repaint and can say which
// ones it shows now. The pictures themselves are cached by image source and pixel size, never by
// those ids, so a reload of the library finds them again.
class ThumbnailProvider : public QObject
{
    Q_OBJECT

public:
    explicit ThumbnailProvider(QObject *parent = nullptr);
    ~ThumbnailProvider() override;

    static ThumbnailProvider &shared();

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

Q_SIGNALS:
    // A picture that `requester` asked for under `id` can now be had from request().
    void ready(const QObject *requester, QUuid id);
};
