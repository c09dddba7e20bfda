// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/thumbnailprovider.h"

#include "model/icon.h"

#include <cmath>

// A first provider that decodes on the caller's thread; the interface lets it move to workers.
ThumbnailProvider::ThumbnailProvider(QObject *parent)
    : QObject(parent)
{ }

ThumbnailProvider::~ThumbnailProvider() = default;

ThumbnailProvider &ThumbnailProvider::shared()
{
    static ThumbnailProvider provider;
    return provider;
}

QImage ThumbnailProvider::request(
    const QObject *, QUuid, const PlatformImage &image, double points, qreal devicePixelRatio)
{
    const std::optional<ImageRep> rep = image.bestRepresentation(points * devicePixelRatio);
    if (!rep)
        return {};
    return PlatformImage::fromRepresentation(*rep, QSizeF(points, points)).bitmap(devicePixelRatio);
}

QImage ThumbnailProvider::request(const QObject *requester, const Icon &icon, double points, qreal devicePixelRatio)
{
    const std::optional<PlatformImage> image = icon.previewImage(points);
    if (!image)
        return {};
    return request(requester, icon.id, *image, points, devicePixelRatio);
}

void ThumbnailProvider::setVisible(const QObject *, const QList<QUuid> &) { }

void ThumbnailProvider::cancel(const QObject *) { }
