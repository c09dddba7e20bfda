// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/adaptiveforegroundstyle.h"
#include "widgets/colorextensions.h"
#include "widgets/windowextensions.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QToolBar>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

class TestColorExtensions : public QObject
{
    Q_OBJECT

private slots:
    void luminance_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<double>("luminance");

        QTest::newRow("black") << QColor(Qt::black) << 0.0;
        QTest::newRow("white") << QColor(Qt::white) << 1.0;
        QTest::newRow("half-transparent white") << QColor(255, 255, 255, 128) << 1.0;
        QTest::newRow("pure green") << QColor(0, 255, 0) << 0.7152;
        QTest::newRow("mid grey") << QColor::fromRgbF(0.5f, 0.5f, 0.5f) << 0.21404114;
        QTest::newRow("below the linear knee") << QColor::fromRgbF(0.04f, 0.04f, 0.04f) << 0.04 / 12.92;
        // Components are read in sRGB whatever the colour's spec.
        QTest::newRow("white as HSV") << QColor::fromHsvF(0.3f, 0.0f, 1.0f) << 1.0;
        QTest::newRow("red as CMYK") << QColor::fromCmykF(0, 1, 1, 0) << 0.2126;
        // Extended components beyond 1 are clamped, so the ratio stays finite.
        QTest::newRow("extended") << QColor::fromRgbF(4.0f, 4.0f, 4.0f) << 1.0;
        QTest::newRow("invalid") << QColor() << 0.0;
    }

    void luminance()
    {
        QFETCH(QColor, color);
        QFETCH(double, luminance);
        QVERIFY2(
            std::abs(colorLuminance(color) - luminance) < 1e-4, qPrintable(QString::number(colorLuminance(color))));
    }

    void components()
    {
        const ColorComponents hsv = colorComponents(QColor::fromHsvF(0.0f, 1.0f, 1.0f, 0.25f));
        QCOMPARE(hsv.red, 1.0);
        QCOMPARE(hsv.green, 0.0);
        QCOMPARE(hsv.blue, 0.0);
        // QColor keeps 16 bits a component.
        QVERIFY(std::abs(hsv.alpha - 0.25) < 1e-4);
        const ColorComponents extended = colorComponents(QColor::fromRgbF(-2.0f, 0.5f, 9.0f, 1.0f));
        QCOMPARE(extended.red, 0.0);
        QCOMPARE(extended.blue, 1.0);
    }

    void contrast()
    {
        QCOMPARE(contrastRatio(colorLuminance(Qt::black), colorLuminance(Qt::white)), 21.0);
        QCOMPARE(contrastRatio(1.0, 0.0), 21.0);
        QCOMPARE(contrastRatio(0.3, 0.3), 1.0);
    }

    void resolved_data()
    {
        QTest::addColumn<bool>("hasBackground");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<int>("scheme");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QColor>("expected");

        const SchemeColor text { QColor(Qt::black), QColor(Qt::white) };
        const int light = int(ColorScheme::light);
        const int dark = int(ColorScheme::dark);
        QTest::newRow("no background, light") << false << QColor() << light << false << text.light;
        QTest::newRow("no background, dark") << false << QColor() << dark << false << text.dark;
        QTest::newRow("black on white keeps") << true << QColor(Qt::white) << light << false << text.light;
        QTest::newRow("black on black swaps") << true << QColor(Qt::black) << light << false << text.dark;
        QTest::newRow("white on white swaps") << true << QColor(Qt::white) << dark << false << text.light;
        QTest::newRow("black on mid grey swaps below 7")
            << true << QColor(128, 128, 128) << light << false << text.dark;
        // A selected item takes the selected text colour, whatever lies behind it.
        QTest::newRow("selected on black") << true << QColor(Qt::black) << light << true << QColor(Qt::blue);
        QTest::newRow("selected without background") << false << QColor() << dark << true << QColor(Qt::blue);
    }

    void resolved()
    {
        QFETCH(bool, hasBackground);
        QFETCH(QColor, background);
        QFETCH(int, scheme);
        QFETCH(bool, selected);
        QFETCH(QColor, expected);
        const SchemeColor text { QColor(Qt::black), QColor(Qt::white) };
        const auto backgroundColor = hasBackground ? std::optional<SchemeColor>(background) : std::nullopt;
        const AdaptiveForegroundStyle style { text, backgroundColor, selected, QColor(Qt::blue) };
        QCOMPARE(style.foreground(ColorScheme(scheme)), expected);
    }

    void fixedColorKeepsItsComponentsWhenSwapped()
    {
        const QColor fixed(40, 90, 200);
        QCOMPARE(resolvedLuminance(SchemeColor(fixed), ColorScheme::light, fixed), fixed);
    }

    void schemeOfPalette_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<int>("scheme");

        const int light = int(ColorScheme::light);
        const int dark = int(ColorScheme::dark);
        QTest::newRow("pale window, black text") << QColor(239, 239, 239) << QColor(Qt::black) << light;
        QTest::newRow("dark window, pale text") << QColor(30, 30, 30) << QColor(230, 230, 230) << dark;
        // Low-contrast themes: the text, not a fixed lightness, says which scheme the window is.
        QTest::newRow("mid-grey window, black text") << QColor(110, 110, 110) << QColor(Qt::black) << light;
        QTest::newRow("mid-grey window, white text") << QColor(140, 140, 140) << QColor(Qt::white) << dark;
    }

    void schemeOfPalette()
    {
        QFETCH(QColor, window);
        QFETCH(QColor, text);
        QFETCH(int, scheme);
        QPalette palette;
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::WindowText, text);
        QCOMPARE(colorSchemeOf(palette), ColorScheme(scheme));
    }

    void settingsToolbar()
    {
        customizeSettingsToolbar(nullptr);

        QToolBar empty;
        customizeSettingsToolbar(&empty);
        QCOMPARE(empty.toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!empty.isMovable());
        QVERIFY(empty.actions().isEmpty());

        QToolBar toolbar;
        QAction *general = toolbar.addAction(u"General"_s);
        QAction *updates = toolbar.addAction(u"Updates"_s);
        customizeSettingsToolbar(&toolbar);
        const QList<QAction *> once = toolbar.actions();
        QCOMPARE(once.size(), 4);
        QCOMPARE(once.at(1), general);
        QCOMPARE(once.at(2), updates);
        for (QAction *spacer : { once.first(), once.last() })
            QCOMPARE(toolbar.widgetForAction(spacer)->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);

        customizeSettingsToolbar(&toolbar);
        QCOMPARE(toolbar.actions(), once);

        // An item added later is centred with the others.
        QAction *late = toolbar.addAction(u"Low-Resolution"_s);
        customizeSettingsToolbar(&toolbar);
        const QList<QAction *> again = toolbar.actions();
        QCOMPARE(again.size(), 5);
        QCOMPARE(again.first(), once.first());
        QCOMPARE(again.at(3), late);
        QCOMPARE(again.last(), once.last());
    }
};

QTEST_MAIN(TestColorExtensions)
#include "tst_colorextensions.moc"
