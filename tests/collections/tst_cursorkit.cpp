// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/cursorkit.h"

#include <QPixmap>
#include <QTest>
#include <QWidget>

using CursorKit::Cursor;

class TestCursorKit : public QObject
{
    Q_OBJECT

private slots:
    void shapes_data()
    {
        QTest::addColumn<Cursor>("cursor");
        QTest::addColumn<Qt::CursorShape>("shape");

        QTest::newRow("arrow") << Cursor::arrow << Qt::ArrowCursor;
        QTest::newRow("pointingHand") << Cursor::pointingHand << Qt::PointingHandCursor;
        QTest::newRow("openHand") << Cursor::openHand << Qt::OpenHandCursor;
        QTest::newRow("closedHand") << Cursor::closedHand << Qt::ClosedHandCursor;
        QTest::newRow("resizeLeft") << Cursor::resizeLeft << Qt::BitmapCursor;
        QTest::newRow("resizeRight") << Cursor::resizeRight << Qt::BitmapCursor;
        QTest::newRow("resizeLeftRight") << Cursor::resizeLeftRight << Qt::SizeHorCursor;
        QTest::newRow("resizeUp") << Cursor::resizeUp << Qt::BitmapCursor;
        QTest::newRow("resizeDown") << Cursor::resizeDown << Qt::BitmapCursor;
        QTest::newRow("resizeUpDown") << Cursor::resizeUpDown << Qt::SizeVerCursor;
        QTest::newRow("dragLink") << Cursor::dragLink << Qt::DragLinkCursor;
        QTest::newRow("dragCopy") << Cursor::dragCopy << Qt::DragCopyCursor;
        QTest::newRow("crosshair") << Cursor::crosshair << Qt::CrossCursor;
        QTest::newRow("contextualMenu") << Cursor::contextualMenu << Qt::BitmapCursor;
        QTest::newRow("disappearingItem") << Cursor::disappearingItem << Qt::BitmapCursor;
        QTest::newRow("operationNotAllowed") << Cursor::operationNotAllowed << Qt::ForbiddenCursor;
        QTest::newRow("iBeam") << Cursor::iBeam << Qt::IBeamCursor;
        QTest::newRow("iBeamCursorForVerticalLayout") << Cursor::iBeamCursorForVerticalLayout << Qt::BitmapCursor;
    }

    void shapes()
    {
        QFETCH(Cursor, cursor);
        QFETCH(Qt::CursorShape, shape);
        const QCursor qCursor = CursorKit::qCursor(cursor);
        QCOMPARE(qCursor.shape(), shape);
        if (shape == Qt::BitmapCursor) {
            // A drawn cursor has a picture, and its hot spot lies on it.
            QVERIFY(!qCursor.pixmap().isNull());
            QVERIFY(qCursor.pixmap().toImage().rect().contains(qCursor.hotSpot()));
        }
    }

    void drawnCursorsDiffer()
    {
        const auto image = [](Cursor cursor) { return CursorKit::qCursor(cursor).pixmap().toImage(); };
        const QList<QImage> images { image(Cursor::resizeLeft), image(Cursor::resizeRight), image(Cursor::resizeUp),
            image(Cursor::resizeDown), image(Cursor::contextualMenu), image(Cursor::disappearingItem),
            image(Cursor::iBeamCursorForVerticalLayout) };
        for (qsizetype i = 0; i < images.size(); ++i) {
            for (qsizetype j = i + 1; j < images.size(); ++j)
                QVERIFY2(images[i] != images[j], qPrintable(QStringLiteral("%1 and %2 look alike").arg(i).arg(j)));
        }
    }

    void hoverCursorIsTheWidgets()
    {
        QWidget widget;
        CursorKit::setHoverCursor(&widget, Cursor::resizeLeftRight);
        QCOMPARE(widget.cursor().shape(), Qt::SizeHorCursor);
        QVERIFY(widget.testAttribute(Qt::WA_SetCursor));
    }
};

QTEST_MAIN(TestCursorKit)
#include "tst_cursorkit.moc"
