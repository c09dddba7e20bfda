// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the "CollectionIcon" artwork: a stack of three cards, the front one holding a grid of
// four small tiles. Writes one PNG per size (72 dpi, so point size = pixel size).
//
// Build and run from the repository root:
//   g++ -std=c++20 -fPIC tools/makecollectionicon.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/makecollectionicon
//   QT_QPA_PLATFORM=offscreen /tmp/makecollectionicon resources/images/CollectionIcon

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

void drawCard(QPainter &painter, qreal angle, QPointF offset, QColor top, QColor bottom)
{
    painter.save();
    painter.translate(256 + offset.x(), 272 + offset.y());
    painter.rotate(angle);
    const QRectF card(-176, -150, 352, 300);
    QPainterPath path;
    path.addRoundedRect(card, 44, 44);
    painter.fillPath(path.translated(0, 10), QColor(0, 0, 0, 50));
    QLinearGradient fill(card.topLeft(), card.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.fillPath(path, fill);
    painter.setPen(QPen(bottom.darker(140), 8));
    painter.drawPath(path);
    painter.restore();
}

QImage draw(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 512.0, size / 512.0);
    // The small sizes keep the stack straight, so that its edges stay crisp.
    const bool small = size <= 32;
    drawCard(
        painter, small ? 0 : -9, QPointF(-8, small ? -56 : -44), QColor(0x7d, 0x9c, 0xd6), QColor(0x4a, 0x6a, 0xa8));
    drawCard(
        painter, small ? 0 : 6, QPointF(10, small ? -28 : -22), QColor(0x6c, 0xc9, 0xbb), QColor(0x33, 0x8f, 0x83));
    drawCard(painter, 0, QPointF(0, 0), QColor(0xff, 0xd2, 0x75), QColor(0xe8, 0x9f, 0x2a));
    const qreal tile = small ? 100 : 92;
    const qreal gap = small ? 28 : 36;
    const QPointF origin(256 - tile - gap / 2, 272 - tile - gap / 2);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            QPainterPath path;
            path.addRoundedRect(
                QRectF(origin + QPointF(column * (tile + gap), row * (tile + gap)), QSizeF(tile, tile)), 22, 22);
            painter.fillPath(path, QColor(255, 255, 255, 235));
        }
    }
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    for (int size : { 16, 32, 64, 128, 256, 512 }) {
        const QString path = dir.filePath(QStringLiteral("collectionicon_%1.png").arg(size, 3, 10, QLatin1Char('0')));
        if (!draw(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
