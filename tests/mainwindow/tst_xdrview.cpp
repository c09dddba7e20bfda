// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/settings.h"
#include "mainwindow/xdrview.h"
#include "support/settingsfixture.h"

#include <QPainter>
#include <QPointer>
#include <QTest>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

// Content for the layer to lie over: one flat colour.
class Backdrop : public QWidget
{
public:
    explicit Backdrop(QColor color)
        : m_color(color)
    {
        resize(40, 30);
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), m_color); }

private:
    QColor m_color;
};

} // namespace

class TestXDRView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }
    void init() { m_settings.clear(); }

    // White after the colour controls, as far as standard range reaches.
    void layerColor_data()
    {
        QTest::addColumn<float>("contrast");
        QTest::addColumn<float>("brightness");
        QTest::addColumn<double>("value");
        QTest::newRow("default brightness") << 1.0F << 2.0F << 1.0;
        QTest::newRow("no brightening") << 1.0F << 0.0F << 1.0;
        QTest::newRow("dimmed") << 1.0F << -0.5F << 0.5;
        QTest::newRow("below black") << 1.0F << -3.0F << 0.0;
        QTest::newRow("contrast around grey") << 2.0F << -0.5F << 0.5;
        QTest::newRow("contrast stretch") << 2.0F << -0.25F << 1.0;
        QTest::newRow("not a number") << 1.0F << std::numeric_limits<float>::quiet_NaN() << 1.0;
    }

    void layerColor()
    {
        QFETCH(float, contrast);
        QFETCH(float, brightness);
        QFETCH(double, value);
        const QColor color = XDRView::layerColor(contrast, brightness);
        QCOMPARE(color.alpha(), 255);
        QVERIFY2(qAbs(color.redF() - value) < 0.01 && color.red() == color.green() && color.green() == color.blue(),
            qPrintable(color.name()));
    }

    // Over a parent: fills it, lets clicks through, multiplies, and follows the brightness setting
    // without being made anew.
    void overlayFollowsSetting()
    {
        Backdrop content(QColor(200, 100, 40));
        content.show();
        QVERIFY(QTest::qWaitForWindowExposed(&content));
        QPointer<XDRView> layer = XDRView::overlay(m_settings.settings().lowResolutionScreenBrightness(), &content);
        QCOMPARE(layer->brightness(), 2.0F);
        QCOMPARE(layer->contrast(), 1.0F);
        QCOMPARE(layer->geometry(), content.rect());
        QVERIFY(layer->testAttribute(Qt::WA_TransparentForMouseEvents));
        content.resize(64, 48);
        QCOMPARE(layer->geometry(), content.rect());

        // Brightening beyond white leaves the content as it is.
        QCOMPARE(content.grab().toImage().pixelColor(10, 10), QColor(200, 100, 40));

        m_settings.settings().lowResolutionScreenBrightness().write(-0.5F);
        QVERIFY(layer);
        QCOMPARE(layer->brightness(), -0.5F);
        const QColor dimmed = content.grab().toImage().pixelColor(10, 10);
        QVERIFY2(qAbs(dimmed.red() - 100) <= 2 && qAbs(dimmed.green() - 50) <= 2 && qAbs(dimmed.blue() - 20) <= 2,
            qPrintable(dimmed.name()));
    }

private:
    SettingsFixture m_settings;
};

QTEST_MAIN(TestXDRView)
#include "tst_xdrview.moc"
