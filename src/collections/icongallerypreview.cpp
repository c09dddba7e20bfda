// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/icongallerypreview.h"

#include "collections/icondragmimedata.h"
#include "library/iconselectionmanager.h"
#include "library/thumbnailprovider.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

IconGalleryPreview::IconGalleryPreview(IconSelectionManager &selectionManager, ThumbnailProvider &provider,
    std::shared_ptr<FileIconSetter> iconSetter, Settings &settings, QWidget *parent)
    : QWidget(parent)
    , m_selectionManager(selectionManager)
    , m_provider(provider)
    , m_iconSetter(std::move(iconSetter))
    , m_settings(settings)
{
    connect(&m_provider, &ThumbnailProvider::ready, this, [this](const QObject *requester, QUuid) {
        if (requester == this)
            update();
    });
    setMinimumSize(m_previewSize, m_previewSize);
}

IconGalleryPreview::~IconGalleryPreview()
{
    m_provider.cancel(this);
}

void IconGalleryPreview::setIcon(std::optional<Icon> icon)
{
    m_icon = std::move(icon);
    if (m_icon)
        m_provider.setVisible(this, { m_icon->id });
    update();
}

void IconGalleryPreview::setPreviewSize(int points)
{
    m_previewSize = points;
    setMinimumSize(points, points);
    update();
}

QRect IconGalleryPreview::pictureRect() const
{
    return QRect((width() - m_previewSize) / 2, (height() - m_previewSize) / 2, m_previewSize, m_previewSize);
}

void IconGalleryPreview::paintEvent(QPaintEvent *)
{
    if (!m_icon)
        return;
    const std::optional<PlatformImage> image = m_icon->previewImage(m_previewSize);
    // An icon without a readable picture leaves the area empty but usable.
    if (!image)
        return;
    const QImage picture = m_provider.request(this, m_icon->id, *image, m_previewSize, devicePixelRatioF());
    if (picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Fit, keeping the picture's own proportions.
    QSizeF size = picture.deviceIndependentSize();
    size.scale(QSizeF(pictureRect().size()), Qt::KeepAspectRatio);
    const QRectF target(QPointF(pictureRect().center()) - QPointF(size.width() / 2, size.height() / 2), size);
    painter.drawImage(target, picture);
}

void IconGalleryPreview::mousePressEvent(QMouseEvent *event)
{
    m_pressPosition = event->position().toPoint();
    m_pressedOnPicture = m_icon && pictureRect().contains(m_pressPosition);
    event->accept();
}

void IconGalleryPreview::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressedOnPicture || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
        return;
    m_pressedOnPicture = false;
    IconDragMimeData::startDrag(this, *m_icon, m_iconSetter, m_settings);
}

void IconGalleryPreview::mouseReleaseEvent(QMouseEvent *event)
{
    const bool onPicture = m_icon && pictureRect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton && !onPicture && !m_pressedOnPicture)
        m_selectionManager.setSelection({});
    m_pressedOnPicture = false;
}
