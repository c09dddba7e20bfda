// SPDX-License-Identifier: GPL-3.0-or-later
#include "savegeneration.h"

#include <QRandomGenerator>

#include <cmath>

using namespace Qt::StringLiterals;

namespace SaveGeneration {

namespace {

QByteArray iconData(int generation, int index, qsizetype bytes)
{
    QByteArray data(bytes, char('a' + generation % 26));
    const QByteArray tag = "generation " + QByteArray::number(generation) + " icon " + QByteArray::number(index);
    data.replace(0, std::min(tag.size(), bytes), tag.left(bytes));
    return data;
}

} // namespace

IconContainer container(int generation, int icons, qsizetype iconBytes)
{
    IconContainer result { .title = u"Big"_s, .authorName = u"Generation %1"_s.arg(generation) };
    for (int i = 0; i < icons; ++i) {
        result.icons.append(Icon { .id = QUuid::createUuid(),
            .containerID = result.id,
            .name = u"Icon %1"_s.arg(i),
            .type = IconFileType::icns,
            .icnsData = iconData(generation, i, iconBytes),
            .author = u"Author %1"_s.arg(generation) });
    }
    return result;
}

int generationOf(const IconContainer &container, int icons, qsizetype iconBytes)
{
    bool isNumber = false;
    const int generation = container.authorName.mid(u"Generation "_s.size()).toInt(&isNumber);
    if (!isNumber || container.icons.size() != icons)
        return -1;
    for (int i = 0; i < icons; ++i) {
        const Icon &icon = container.icons.at(i);
        if (icon.name != u"Icon %1"_s.arg(i) || icon.author != u"Author %1"_s.arg(generation)
            || icon.icnsData != iconData(generation, i, iconBytes))
            return -1;
    }
    return generation;
}

QImage picture(int generation, qsizetype bytes)
{
    // Noise does not compress: the side follows from the PNG size wanted.
    const int side = std::max(2, int(std::sqrt(double(bytes) / 4)));
    QImage image(side, side, QImage::Format_ARGB32);
    QRandomGenerator random { quint32(generation) };
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, random.generate());
    }
    return image;
}

} // namespace SaveGeneration
