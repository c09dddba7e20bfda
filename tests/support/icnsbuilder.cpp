// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/icnsbuilder.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

#include <cmath>

namespace {

void appendU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

// One channel of a non-premultiplied picture, row by row: 0 alpha, 1 red, 2 green, 3 blue.
QByteArray plane(const QImage &image, int channel)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QByteArray out;
    out.reserve(qsizetype(argb.width()) * argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = argb.pixel(x, y);
            const int values[4] = { qAlpha(pixel), qRed(pixel), qGreen(pixel), qBlue(pixel) };
            out.append(char(values[channel]));
        }
    }
    return out;
}

} // namespace

IcnsBuilder &IcnsBuilder::add(QByteArrayView type, const QByteArray &data)
{
    m_elements.append({ type.toByteArray(), data });
    return *this;
}

QByteArray IcnsBuilder::build() const
{
    QByteArray body;
    for (const auto &[type, data] : m_elements) {
        body.append(type);
        appendU32(body, quint32(data.size() + 8));
        body.append(data);
    }
    QByteArray file("icns");
    appendU32(file, quint32(body.size() + 8));
    return file + body;
}

QImage IcnsBuilder::pattern(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (x < width / 2)
                image.setPixel(x, y, colour.rgba());
            else
                image.setPixel(x, y, qRgba((x * 37) & 0xff, (y * 53) & 0xff, (x * y) & 0xff, 255 - (x * 255 / width)));
        }
    }
    return image;
}

QByteArray IcnsBuilder::png(const QImage &image, std::optional<double> dpi)
{
    QImage copy = image;
    if (dpi) {
        copy.setDotsPerMeterX(int(std::lround(*dpi / 0.0254)));
        copy.setDotsPerMeterY(int(std::lround(*dpi / 0.0254)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(copy);
    if (dpi)
        return bytes;
    // Qt always writes a density; take its pHYs chunk out again.
    for (qsizetype pos = 8; pos + 12 <= bytes.size();) {
        const qsizetype chunk = 12 + qFromBigEndian<quint32>(bytes.constData() + pos);
        if (bytes.sliced(pos + 4, 4) == "pHYs") {
            bytes.remove(pos, chunk);
            break;
        }
        pos += chunk;
    }
    return bytes;
}

QByteArray IcnsBuilder::argb(const QImage &image)
{
    QByteArray out("ARGB");
    for (int channel = 0; channel < 4; ++channel)
        out += packRle(plane(image, channel));
    return out;
}

QByteArray IcnsBuilder::rle24(const QImage &image, int leadingZeros)
{
    QByteArray out(leadingZeros, '\0');
    for (int channel = 1; channel < 4; ++channel)
        out += packRle(plane(image, channel));
    return out;
}

QByteArray IcnsBuilder::mask(const QImage &image)
{
    return plane(image, 0);
}

QByteArray IcnsBuilder::packRle(QByteArrayView plane)
{
    QByteArray out;
    qsizetype i = 0;
    while (i < plane.size()) {
        qsizetype run = 1;
        while (i + run < plane.size() && run < 130 && plane[i + run] == plane[i])
            ++run;
        if (run >= 3) {
            out.append(char(run + 125));
            out.append(plane[i]);
            i += run;
            continue;
        }
        // Literals up to the next run of three, at most 128 at a time.
        qsizetype count = 0;
        while (i + count < plane.size() && count < 128) {
            const qsizetype j = i + count;
            if (j + 2 < plane.size() && plane[j] == plane[j + 1] && plane[j] == plane[j + 2])
                break;
            ++count;
        }
        out.append(char(count - 1));
        out.append(plane.sliced(i, count).data(), count);
        i += count;
    }
    return out;
}
