// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/cursorkit.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

#include <optional>

namespace CursorKit {

namespace {

// Logical size of the drawn cursors, the usual size of a cursor theme.
constexpr int drawnSize = 24;

std::optional<Qt::CursorShape> themeShape(Cursor cursor)
{
    switch (cursor) {
    case Cursor::arrow:
        return Qt::ArrowCursor;
    case Cursor::pointingHand:
        return Qt::PointingHandCursor;
    case Cursor::openHand:
        return Qt::OpenHandCursor;
    case Cursor::closedHand:
        return Qt::ClosedHandCursor;
    case Cursor::resizeLeftRight:
        return Qt::SizeHorCursor;
    case Cursor::resizeUpDown:
        return Qt::SizeVerCursor;
    case Cursor::dragLink:
        return Qt::DragLinkCursor;
    case Cursor::dragCopy:
        return Qt::DragCopyCursor;
    case Cursor::crosshair:
        return Qt::CrossCursor;
    case Cursor::operationNotAllowed:
        return Qt::ForbiddenCursor;
    case Cursor::iBeam:
        return Qt::IBeamCursor;
    case Cursor::resizeLeft:
    case Cursor::resizeRight:
    case Cursor::resizeUp:
    case Cursor::resizeDown:
    case Cursor::contextualMenu:
    case Cursor::disappearingItem:
    case Cursor::iBeamCursorForVerticalLayout:
        break;
    }
    return std::nullopt;
}

// Black shapes with a white rim, so the pointer shows on any background.
void strokeAndFill(QPainter &painter, const QPainterPath &path)
{
    painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(path);
}

// An arrow pointing right from the centre line, with a bar across its tail: the "can only grow
// this way" resize pointer. Rotated for the other three directions.
QPainterPath oneWayResize()
{
    QPainterPath path;
    path.addRect(QRectF(5, 6, 2, 12));
    path.addRect(QRectF(7, 11, 7, 2));
    QPolygonF head { QPointF(13, 7), QPointF(19, 12), QPointF(13, 17) };
    path.addPolygon(head);
    path.closeSubpath();
    return path.simplified();
}

QPainterPath arrowPointer()
{
    QPolygonF arrow { QPointF(3, 2), QPointF(3, 17), QPointF(7, 13.5), QPointF(9.5, 19), QPointF(12, 18),
        QPointF(9.5, 12.5), QPointF(14.5, 12.5) };
    QPainterPath path;
    path.addPolygon(arrow);
    path.closeSubpath();
    return path;
}

QPixmap canvas(qreal ratio)
{
    QPixmap pixmap(qRound(drawnSize * ratio), qRound(drawnSize * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QCursor drawn(Cursor cursor)
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pixmap = canvas(ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(drawnSize / 2.0, drawnSize / 2.0);
    const auto rotated = [&centre](const QPainterPath &path, qreal degrees) {
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(degrees);
        turn.translate(-centre.x(), -centre.y());
        return turn.map(path);
    };

    switch (cursor) {
    case Cursor::resizeRight:
        strokeAndFill(painter, oneWayResize());
        break;
    case Cursor::resizeDown:
        strokeAndFill(painter, rotated(oneWayResize(), 90));
        break;
    case Cursor::resizeLeft:
        strokeAndFill(painter, rotated(oneWayResize(), 180));
        break;
    case Cursor::resizeUp:
        strokeAndFill(painter, rotated(oneWayResize(), 270));
        break;
    case Cursor::contextualMenu: {
        QPainterPath menu;
        menu.addRect(QRectF(14, 12, 8, 9));
        strokeAndFill(painter, arrowPointer().united(menu));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawLine(QPointF(15.5, 15), QPointF(20.5, 15));
        painter.drawLine(QPointF(15.5, 18), QPointF(20.5, 18));
        painter.end();
        return QCursor(pixmap, qRound(3 * ratio), qRound(2 * ratio));
    }
    case Cursor::disappearingItem: {
        QPainterPath puff;
        puff.addEllipse(QRectF(12, 12, 10, 10));
        strokeAndFill(painter, arrowPointer().united(puff));
        painter.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(14.5, 14.5), QPointF(19.5, 19.5));
        painter.drawLine(QPointF(19.5, 14.5), QPointF(14.5, 19.5));
        painter.end();
        return QCursor(pixmap, qRound(3 * ratio), qRound(2 * ratio));
    }
    case Cursor::iBeamCursorForVerticalLayout: {
        QPainterPath beam;
        beam.addRect(QRectF(5, 11.25, 14, 1.5));
        beam.addRect(QRectF(4, 8, 1.5, 8));
        beam.addRect(QRectF(18.5, 8, 1.5, 8));
        strokeAndFill(painter, beam.simplified());
        break;
    }
    default:
        break;
    }
    painter.end();
    return QCursor(pixmap, qRound(centre.x() * ratio), qRound(centre.y() * ratio));
}

} // namespace

QCursor qCursor(Cursor cursor)
{
    if (const auto shape = themeShape(cursor))
        return QCursor(*shape);
    return drawn(cursor);
}

void setHoverCursor(QWidget *widget, Cursor cursor)
{
    widget->setCursor(qCursor(cursor));
}

} // namespace CursorKit
