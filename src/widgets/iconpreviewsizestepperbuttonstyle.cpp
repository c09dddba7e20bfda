// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/iconpreviewsizestepperbuttonstyle.h"

#include "widgets/foregroundlevel.h"

#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QRect>

namespace {

// The icon's shape filled with one colour, as a template image is drawn.
QPixmap tinted(const QIcon &icon, const QSize &size, qreal ratio, const QColor &color)
{
    QPixmap shape = icon.pixmap(size, ratio);
    if (shape.isNull())
        return shape;
    QPainter painter(&shape);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(shape.rect(), color);
    return shape;
}

} // namespace

QSize IconPreviewSizeStepperButtonStyle::sizeHint(const QSize &iconSize) const
{
    return iconSize + QSize(2 * horizontalPadding, 2 * verticalPadding);
}

void IconPreviewSizeStepperButtonStyle::paint(QPainter &painter, const QRect &rect, const QIcon &icon,
    const QSize &iconSize, const QPalette &palette, Qt::LayoutDirection direction) const
{
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap shape = tinted(icon, iconSize, ratio, foreground(palette, disabled));
    if (!shape.isNull()) {
        const QSizeF logical = shape.deviceIndependentSize();
        const QPointF topLeft(
            rect.x() + (rect.width() - logical.width()) / 2.0, rect.y() + (rect.height() - logical.height()) / 2.0);
        painter.drawPixmap(topLeft, shape);
    }

    // The line stands on the edge between the button and the value.
    const bool lineOnRight
        = (position == IconPreviewSizeStepperButtonPosition::leading) == (direction == Qt::LeftToRight);
    const qreal x = lineOnRight ? rect.right() : rect.left();
    painter.fillRect(QRectF(x, rect.top() + separatorInset, 1, rect.height() - 2 * separatorInset), separator(palette));
}

QColor IconPreviewSizeStepperButtonStyle::foreground(const QPalette &palette, bool disabled)
{
    return foregroundColor(palette, disabled ? ForegroundLevel::tertiary : ForegroundLevel::primary);
}

QColor IconPreviewSizeStepperButtonStyle::separator(const QPalette &palette)
{
    return foregroundColor(palette, ForegroundLevel::quaternary);
}
