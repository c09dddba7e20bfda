// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/statusbartogglestyle.h"

#include "widgets/symbol.h"

#include <QPainter>
#include <QPainterPath>

QColor StatusBarToggleStyle::foreground(const QPalette &palette, bool on) const
{
    if (disabled)
        return foregroundColor(palette, ForegroundLevel::tertiary);
    return on ? accentColor(palette) : foregroundColor(palette, ForegroundLevel::primary);
}

QSize StatusBarToggleStyle::size() const
{
    return { symbolSide + 2 * horizontalPadding, symbolSide + 2 * verticalPadding };
}

void StatusBarToggleStyle::paint(
    QPainter &painter, const QRect &rect, const QPalette &palette, const QString &symbol, bool on) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Half a pixel in, so the 1-point outline lies on whole pixels.
    const QRectF frame = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(frame, cornerRadius, cornerRadius);
    if (on)
        painter.fillPath(shape, foregroundColor(palette, ForegroundLevel::quinary));
    QPen outline(foregroundColor(palette, ForegroundLevel::quaternary), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    painter.strokePath(shape, outline);
    const QRect square(
        rect.center().x() - symbolSide / 2 + 1, rect.center().y() - symbolSide / 2 + 1, symbolSide, symbolSide);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    painter.drawPixmap(square, Symbol::pixmap(symbol, symbolSide, foreground(palette, on), ratio));
    painter.restore();
}
