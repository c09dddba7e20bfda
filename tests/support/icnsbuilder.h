// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPair>

#include <optional>

// Writes Apple Icon Image files for tests and benchmarks, and the element data of every kind.
class IcnsBuilder
{
public:
    // Appends an element; its length field counts the 8 header bytes.
    IcnsBuilder &add(QByteArrayView type, const QByteArray &data);
    // The file: "icns", the total length, the elements in the order added.
    QByteArray build() const;

    // A picture that has long runs (the left half is one colour) and short ones, with an
    // alpha ramp, so every RLE path and the alpha handling show up in a comparison.
    static QImage pattern(int width, int height, QColor colour = QColor(40, 120, 220));
    // PNG bytes; with `dpi` a pHYs chunk of that density, without one no pHYs at all.
    static QByteArray png(const QImage &image, std::optional<double> dpi = std::nullopt);
    // "ARGB" and the alpha, red, green and blue planes, each RLE-packed.
    static QByteArray argb(const QImage &image);
    // The red, green and blue planes, each RLE-packed, after `leadingZeros` zero bytes (it32: 4).
    static QByteArray rle24(const QImage &image, int leadingZeros = 0);
    // The alpha plane, raw: the s8mk, l8mk, h8mk and t8mk elements.
    static QByteArray mask(const QImage &image);
    // RLE packing: runs of 3 to 130 equal bytes become a repeat, everything else literals.
    static QByteArray packRle(QByteArrayView plane);

private:
    QList<QPair<QByteArray, QByteArray>> m_elements;
};
