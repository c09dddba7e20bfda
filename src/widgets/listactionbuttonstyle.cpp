// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/listactionbuttonstyle.h"

#include "widgets/symbol.h"

#include <QPainter>

QSize ListActionButtonStyle::size(int labelWidth) const
{
    if (!flexibleWidth)
        return { listActionButtonSize, listActionButtonSize };
    return { labelWidth + 2 * flexiblePadding, listActionButtonSize };
}

void ListActionButtonStyle::paint(
    QPainter &painter, const QRect &rect, const QPalette &palette, const QString &symbol, const QString &text) const
{
    const QColor color = foregroundColor(palette, foregroundLevel());
    if (!symbol.isEmpty()) {
        const QRect square(
            rect.center().x() - symbolSide / 2 + 1, rect.center().y() - symbolSide / 2 + 1, symbolSide, symbolSide);
        const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        painter.drawPixmap(square, Symbol::pixmap(symbol, symbolSide, color, ratio));
        return;
    }
    painter.save();
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignCenter, text);
    painter.restore();
}
