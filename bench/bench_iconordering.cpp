// SPDX-License-Identifier: GPL-3.0-or-later
// How fast a large container's icons are put in the order of a stored list.

#include "benchtable.h"
#include "library/iconordering.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <random>

int main()
{
    BenchTable table;
    for (int count : { 1000, 10000, 100000 }) {
        QList<Icon> icons;
        QStringList order;
        for (int i = 0; i < count; ++i) {
            Icon icon;
            icon.name = QStringLiteral("Icon %1").arg(i);
            icon.filename = icon.name + QStringLiteral(".icns");
            icons.append(icon);
            if (i % 10 != 0) // a tenth stays unlisted
                order.append(*icon.filename);
        }
        std::mt19937 random(42);
        std::shuffle(icons.begin(), icons.end(), random);
        QElapsedTimer timer;
        timer.start();
        orderIcons(icons, order, IconOrderKey::fileNameOrName);
        const qint64 ns = timer.nsecsElapsed();
        if (icons.first().filename != order.first())
            return 1;
        table.add(QStringLiteral("order %1 icons").arg(count), ns / 1e6, QStringLiteral("ms"));
        table.add(QStringLiteral("order %1 icons, per icon").arg(count), ns / 1e3 / count, QStringLiteral("µs"));
    }
    return table.print();
}
