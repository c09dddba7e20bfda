// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/textstyle.h"

#include <QTest>

class TestTextStyle : public QObject
{
    Q_OBJECT

private slots:
    // One step below the body, whichever way the body's size is given; never vanishing.
    void callout_data()
    {
        QTest::addColumn<double>("points"); // 0: given in pixels
        QTest::addColumn<int>("pixels");
        QTest::addColumn<double>("calloutPoints");
        QTest::addColumn<int>("calloutPixels");
        QTest::newRow("13 points") << 13.0 << 0 << 12.0 << 0;
        QTest::newRow("26 points") << 26.0 << 0 << 24.0 << 0;
        QTest::newRow("26 pixels") << 0.0 << 26 << 0.0 << 24;
        QTest::newRow("1 pixel") << 0.0 << 1 << 0.0 << 1;
    }

    void callout()
    {
        QFETCH(double, points);
        QFETCH(int, pixels);
        QFETCH(double, calloutPoints);
        QFETCH(int, calloutPixels);
        QFont body(QStringLiteral("Sans"));
        body.setBold(true);
        if (points > 0)
            body.setPointSizeF(points);
        else
            body.setPixelSize(pixels);
        const QFont callout = TextStyle::callout(body);
        if (calloutPoints > 0)
            QCOMPARE(callout.pointSizeF(), calloutPoints);
        else
            QCOMPARE(callout.pixelSize(), calloutPixels);
        QVERIFY(callout.bold());
        QCOMPARE(callout.family(), body.family());
    }
};

QTEST_MAIN(TestTextStyle)
#include "tst_textstyle.moc"
