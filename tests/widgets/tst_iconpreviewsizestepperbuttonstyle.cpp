// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/foregroundlevel.h"
#include "widgets/iconpreviewsizestepperbuttonstyle.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QTest>

namespace {

constexpr QSize buttonSize(30, 24);
constexpr QSize iconSize(10, 10);

// A filled square, so the icon's pixels are easy to find.
QIcon squareIcon()
{
    QPixmap square(iconSize);
    square.fill(Qt::black);
    return QIcon(square);
}

QImage render(const IconPreviewSizeStepperButtonStyle &style, Qt::LayoutDirection direction)
{
    QImage image(buttonSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPalette palette;
    palette.setColor(QPalette::WindowText, Qt::black);
    QPainter painter(&image);
    style.paint(painter, image.rect(), squareIcon(), iconSize, palette, direction);
    return image;
}

// The columns holding any drawn pixel.
QList<int> drawnColumns(const QImage &image, int fromRow, int toRow)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = fromRow; y <= toRow; ++y) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                columns << x;
                break;
            }
        }
    }
    return columns;
}

} // namespace

class TestIconPreviewSizeStepperButtonStyle : public QObject
{
    Q_OBJECT

private slots:
    void separatorFacesTheValue_data()
    {
        QTest::addColumn<IconPreviewSizeStepperButtonPosition>("position");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<int>("column");

        const int right = buttonSize.width() - 1;
        QTest::newRow("leading") << IconPreviewSizeStepperButtonPosition::leading << Qt::LeftToRight << right;
        QTest::newRow("trailing") << IconPreviewSizeStepperButtonPosition::trailing << Qt::LeftToRight << 0;
        QTest::newRow("leading, right to left")
            << IconPreviewSizeStepperButtonPosition::leading << Qt::RightToLeft << 0;
        QTest::newRow("trailing, right to left")
            << IconPreviewSizeStepperButtonPosition::trailing << Qt::RightToLeft << right;
    }

    void separatorFacesTheValue()
    {
        QFETCH(IconPreviewSizeStepperButtonPosition, position);
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(int, column);
        const QImage image = render({ position, false }, direction);
        // Above the icon only the separator is drawn, inset from the top.
        const int inset = IconPreviewSizeStepperButtonStyle::separatorInset;
        QCOMPARE(drawnColumns(image, inset, inset + 1), QList<int> { column });
        QCOMPARE(drawnColumns(image, 0, inset - 1), QList<int>());
        // The icon sits in the middle, in the primary level.
        const QRgb middle = image.pixel(buttonSize.width() / 2, buttonSize.height() / 2);
        QPalette palette;
        palette.setColor(QPalette::WindowText, Qt::black);
        QCOMPARE(qAlpha(middle), foregroundColor(palette, ForegroundLevel::primary).alpha());
    }

    void disabledDimsTheIconOnly()
    {
        const auto leading = IconPreviewSizeStepperButtonPosition::leading;
        const QImage enabled = render({ leading, false }, Qt::LeftToRight);
        const QImage disabled = render({ leading, true }, Qt::LeftToRight);
        const QPoint middle(buttonSize.width() / 2, buttonSize.height() / 2);
        QVERIFY(qAlpha(disabled.pixel(middle)) < qAlpha(enabled.pixel(middle)) / 2);
        QVERIFY(qAlpha(disabled.pixel(middle)) > 0);
        const QPoint line(buttonSize.width() - 1, IconPreviewSizeStepperButtonStyle::separatorInset);
        QCOMPARE(disabled.pixel(line), enabled.pixel(line));
    }

    // The icon and the line take the shared foreground levels, in light and dark palettes alike.
    void colorsComeFromTheLevels_data()
    {
        QTest::addColumn<QColor>("text");
        QTest::newRow("light") << QColor(Qt::black);
        QTest::newRow("dark") << QColor(0xe6, 0xe6, 0xe6);
    }

    void colorsComeFromTheLevels()
    {
        QFETCH(QColor, text);
        QPalette palette;
        palette.setColor(QPalette::WindowText, text);
        QCOMPARE(IconPreviewSizeStepperButtonStyle::foreground(palette, false),
            foregroundColor(palette, ForegroundLevel::primary));
        QCOMPARE(IconPreviewSizeStepperButtonStyle::foreground(palette, true),
            foregroundColor(palette, ForegroundLevel::tertiary));
        QCOMPARE(IconPreviewSizeStepperButtonStyle::separator(palette),
            foregroundColor(palette, ForegroundLevel::quaternary));
    }
};

QTEST_MAIN(TestIconPreviewSizeStepperButtonStyle)
#include "tst_iconpreviewsizestepperbuttonstyle.moc"
