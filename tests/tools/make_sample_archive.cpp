// SPDX-License-Identifier: GPL-3.0-or-later
// Writes samples/Starter Shapes.ravivovode: an older single-file archive with our own artwork
// (plain shapes drawn here), to try the import with. Run from the build tree:
//   tests/make_sample_archive "../../samples/Starter Shapes.ravivovode"

#include "support/typedstreamwriter.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <QtMath>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

enum class Shape { circle, roundedSquare, triangle, star, hexagon, ring, diamond, cross };

struct SampleIcon
{
    const char *name;
    Shape shape;
    QColor colour;
    bool icns;
};

const SampleIcon sampleIcons[] = {
    { "Circle", Shape::circle, QColor(0xe0, 0x4f, 0x3f), true },
    { "Square", Shape::roundedSquare, QColor(0x2f, 0x80, 0xd0), true },
    { "Triangle", Shape::triangle, QColor(0xf2, 0xb1, 0x34), true },
    { "Star", Shape::star, QColor(0x8a, 0x4f, 0xc8), true },
    { "Hexagon", Shape::hexagon, QColor(0x2e, 0xa8, 0x6a), false },
    { "Ring", Shape::ring, QColor(0xe0, 0x6c, 0xa0), false },
    { "Diamond", Shape::diamond, QColor(0x1f, 0xa6, 0xb8), false },
    { "Cross", Shape::cross, QColor(0x5a, 0x64, 0x70), false },
};

QPolygonF regularPolygon(int corners, double radius, double turn, double innerRadius = 0)
{
    QPolygonF polygon;
    const int points = innerRadius > 0 ? corners * 2 : corners;
    for (int i = 0; i < points; ++i) {
        const double r = innerRadius > 0 && i % 2 ? innerRadius : radius;
        const double angle = turn + 2 * M_PI * i / points;
        polygon << QPointF(r * std::cos(angle), r * std::sin(angle));
    }
    return polygon;
}

// The outline of a shape in a 2 × 2 square centred on the origin.
QPainterPath outline(Shape shape)
{
    QPainterPath path;
    switch (shape) {
    case Shape::circle:
        path.addEllipse(QPointF(), 0.8, 0.8);
        break;
    case Shape::roundedSquare:
        path.addRoundedRect(QRectF(-0.75, -0.75, 1.5, 1.5), 0.25, 0.25);
        break;
    case Shape::triangle:
        path.addPolygon(regularPolygon(3, 0.9, -M_PI / 2).translated(0, 0.12));
        break;
    case Shape::star:
        path.addPolygon(regularPolygon(5, 0.9, -M_PI / 2, 0.4).translated(0, 0.06));
        break;
    case Shape::hexagon:
        path.addPolygon(regularPolygon(6, 0.85, 0));
        break;
    case Shape::ring:
        path.addEllipse(QPointF(), 0.82, 0.82);
        path.addEllipse(QPointF(), 0.42, 0.42);
        break;
    case Shape::diamond:
        path.addPolygon(regularPolygon(4, 0.88, -M_PI / 2));
        break;
    case Shape::cross: {
        QPainterPath across;
        path.addRoundedRect(QRectF(-0.25, -0.8, 0.5, 1.6), 0.08, 0.08);
        across.addRoundedRect(QRectF(-0.8, -0.25, 1.6, 0.5), 0.08, 0.08);
        path = path.united(across);
        break;
    }
    }
    path.closeSubpath();
    return path;
}

QByteArray drawPng(const SampleIcon &icon, int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(pixels / 2.0, pixels / 2.0);
        painter.scale(pixels / 2.0, pixels / 2.0);
        const QPainterPath path = outline(icon.shape);
        painter.setPen(Qt::NoPen);
        painter.setBrush(icon.colour);
        painter.drawPath(path);
        // A lighter band across the top half gives the flat shape some depth.
        painter.setClipPath(path);
        painter.setBrush(icon.colour.lighter(125));
        painter.drawRect(QRectF(-1, -1, 2, 0.85));
        painter.setClipping(false);
        painter.setPen(QPen(icon.colour.darker(140), 0.05));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", 0);
    return png;
}

QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// An ICNS file of PNG elements at 16, 32, 128, 256 and 512 pixels.
QByteArray drawIcns(const SampleIcon &icon)
{
    const std::pair<const char *, int> elements[]
        = { { "icp4", 16 }, { "icp5", 32 }, { "ic07", 128 }, { "ic08", 256 }, { "ic09", 512 } };
    QByteArray body;
    for (const auto &[type, pixels] : elements) {
        const QByteArray png = drawPng(icon, pixels);
        body += QByteArray(type) + bigEndian32(quint32(8 + png.size())) + png;
    }
    return "icns" + bigEndian32(quint32(8 + body.size())) + body;
}

ArchivedValue sampleCollection()
{
    // The older application's keys are constant strings, archived once and then referenced.
    const ArchivedValue typeKey = ts::str("Type");
    const ArchivedValue icnsType = ts::str("IcnsFile");
    const ArchivedValue pngType = ts::str("PngFile");
    const ArchivedValue icnsKey = ts::str("IcnsData");
    const ArchivedValue pngKey = ts::str("PngData");
    const ArchivedValue authorKey = ts::str("Author");
    const ArchivedValue author = ts::str("Glimbar contributors");

    ArchivedValue::Dictionary icons;
    QHash<QString, ArchivedValue> names;
    for (const SampleIcon &icon : sampleIcons) {
        const ArchivedValue name = ts::str(icon.name);
        names.insert(QString::fromLatin1(icon.name), name);
        const ArchivedValue entry = icon.icns
            ? ts::dict({ { typeKey, icnsType }, { icnsKey, ts::bytes(drawIcns(icon)) }, { authorKey, author } })
            : ts::dict({ { typeKey, pngType }, { pngKey, ts::bytes(drawPng(icon, 512)) }, { authorKey, author } });
        icons.append({ name, entry });
    }
    // Not the order of "Icons": the order list decides how the collection shows.
    ArchivedValue::Array order;
    for (const char *name : { "Star", "Circle", "Square", "Triangle", "Hexagon", "Diamond", "Ring", "Cross" })
        order.append(names.value(QString::fromLatin1(name)));

    return ts::dict({
        { "Icons", ArchivedValue::dictionary(icons) },
        { "IconOrder", ArchivedValue::array(order) },
        { "AuthorName", author },
        { "AuthorURL", ts::str("https://example.org/glimbar") },
        { "AuthorEmail", ts::str("samples@example.org") },
        { "Copyright", ts::str("Free to use, share and change.") },
        { "AuthoringLock", ts::boolean(false) },
        { "BackgroundColor", ts::array({ ts::real(0.96), ts::real(0.95), ts::real(0.92), ts::real(1) }) },
    });
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FILE\n", argv[0]);
        return 2;
    }
    const QByteArray bytes = TypedStreamWriter::archive(sampleCollection());
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %lld bytes to %s\n", qlonglong(bytes.size()), argv[1]);
    return 0;
}
