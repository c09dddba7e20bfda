// SPDX-License-Identifier: GPL-3.0-or-later
// How fast info.json documents of large containers encode and decode.

#include "benchtable.h"
#include "model/containerjson.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

IconContainer largeContainer(int iconCount)
{
    IconContainer container { .title = QStringLiteral("Bench"), .backgroundColor = RGBAColor { 0.1, 0.2, 0.3, 1 } };
    container.customIcon = QByteArray(64 * 1024, 'c');
    for (int i = 0; i < iconCount; ++i) {
        Icon icon;
        icon.name = QStringLiteral("Icon %1").arg(i);
        icon.filename = icon.name + QStringLiteral(".icns");
        icon.author = QStringLiteral("Author of the icon");
        icon.copyright = QStringLiteral("© 2024 Someone");
        icon.authorURL = QStringLiteral("https://example.org/icons");
        container.icons.append(icon);
    }
    return container;
}

} // namespace

int main()
{
    BenchTable table;
    for (int count : { 1000, 10000, 100000 }) {
        const IconContainer container = largeContainer(count);
        QElapsedTimer timer;
        timer.start();
        const auto encoded = encodeContainerJson(container);
        const qint64 encodeNs = timer.nsecsElapsed();
        timer.restart();
        const auto decoded = decodeContainerJson(encoded.value());
        const qint64 decodeNs = timer.nsecsElapsed();
        if (!decoded || decoded.value().icons.size() != count)
            return 1;
        std::printf("%6d icons: %8lld bytes\n", count, static_cast<long long>(encoded.value().size()));
        table.add(QStringLiteral("encode %1 icons").arg(count), encodeNs / 1e6, QStringLiteral("ms"));
        table.add(QStringLiteral("decode %1 icons").arg(count), decodeNs / 1e6, QStringLiteral("ms"));
        table.add(QStringLiteral("decode %1 icons, per icon").arg(count), decodeNs / 1e3 / count, QStringLiteral("µs"));
    }
    return table.print();
}
