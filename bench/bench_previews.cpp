// SPDX-License-Identifier: GPL-3.0-or-later
// How much building an icon's previews costs next to decoding its pixels, and what holding
// previews costs in pixel memory. Previews read headers only, so they must stay at or below
// 1/20 of a full decode, and hold no pixels until drawn.

#include "support/icnsbuilder.h"

#include "model/icon.h"
#include "platform/imagecache.h"
#include "platform/platformimage.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

struct Sample
{
    QString name;
    IconFileType type;
    QByteArray data;
};

Icon makeIcon(const Sample &sample)
{
    const bool icns = sample.type == IconFileType::icns;
    return Icon(QUuid::createUuid(), QUuid::createUuid(), sample.name, sample.type,
        icns ? std::optional(sample.data) : std::nullopt, icns ? std::nullopt : std::optional(sample.data), {}, {}, {},
        std::nullopt);
}

QList<Sample> makeSamples(int icnsCount, int pngCount)
{
    const QList<QPair<QByteArray, int>> elements { { "icp4", 16 }, { "icp5", 32 }, { "icp6", 64 }, { "ic07", 128 },
        { "ic08", 256 }, { "ic09", 512 }, { "ic10", 1024 }, { "ic11", 32 }, { "ic12", 64 }, { "ic13", 256 },
        { "ic14", 512 } };
    QList<Sample> samples;
    for (int i = 0; i < icnsCount; ++i) {
        IcnsBuilder builder;
        const QColor colour = QColor::fromHsv((i * 37) % 360, 180, 220);
        for (const auto &[type, side] : elements)
            builder.add(type, IcnsBuilder::png(IcnsBuilder::pattern(side, side, colour)));
        samples.append({ QStringLiteral("icns-%1").arg(i), IconFileType::icns, builder.build() });
    }
    for (int i = 0; i < pngCount; ++i) {
        const int side = 256 << (i % 3); // 256, 512, 1024 px
        const QColor colour = QColor::fromHsv((i * 53) % 360, 200, 200);
        samples.append({ QStringLiteral("png-%1-%2px").arg(i).arg(side), IconFileType::image,
            IcnsBuilder::png(IcnsBuilder::pattern(side, side, colour), 144) });
    }
    return samples;
}

double micros(qint64 nanos)
{
    return double(nanos) / 1000.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ImageCache &cache = ImageCache::instance();
    const QList<Sample> samples = makeSamples(40, 30);

    std::printf("%-16s %6s %12s %14s %8s\n", "icon", "reps", "previews µs", "full decode µs", "ratio");
    double worst = 0;
    qint64 previewTotal = 0, decodeTotal = 0;
    for (const Sample &sample : samples) {
        cache.clear();
        QElapsedTimer timer;
        timer.start();
        const Icon icon = makeIcon(sample);
        const qint64 previews = timer.nsecsElapsed();
        if (cache.byteCount() != 0) {
            std::printf("previews of %s decoded pixels\n", qPrintable(sample.name));
            return 1;
        }

        timer.restart();
        const std::optional<PlatformImage> image = PlatformImage::fromData(sample.data);
        qsizetype decoded = 0;
        for (const ImageRep &rep : image->representations())
            decoded += rep.bitmap().isNull() ? 0 : 1;
        const qint64 decode = timer.nsecsElapsed();
        if (decoded != image->representations().size()) {
            std::printf("%s did not decode\n", qPrintable(sample.name));
            return 1;
        }

        const double ratio = double(previews) / double(decode);
        worst = std::max(worst, ratio);
        previewTotal += previews;
        decodeTotal += decode;
        std::printf("%-16s %6lld %12.1f %14.1f %8.4f\n", qPrintable(sample.name), qlonglong(decoded), micros(previews),
            micros(decode), ratio);
    }
    std::printf("\nall %lld icons: previews %.1f µs, full decode %.1f µs per icon; overall ratio %.4f, worst %.4f "
                "(limit %.4f)\n",
        qlonglong(samples.size()), micros(previewTotal) / samples.size(), micros(decodeTotal) / samples.size(),
        double(previewTotal) / double(decodeTotal), worst, 1.0 / 20);

    // Holding previews for a thousand icons holds no pixels until one is drawn.
    cache.clear();
    QList<Icon> icons;
    qint64 fileBytes = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 1000; ++i) {
        const Sample &sample = samples.at(i % samples.size());
        icons.append(makeIcon(sample));
        fileBytes += sample.data.size();
    }
    const qint64 buildAll = timer.nsecsElapsed();
    const qint64 held = cache.byteCount();
    qsizetype previewCount = 0;
    for (const Icon &icon : std::as_const(icons))
        previewCount += icon.previewReps.size();
    std::printf("1000 icons (%.1f MiB of icon data, %lld previews) built in %.1f ms; pixel cache holds %lld bytes\n",
        double(fileBytes) / (1 << 20), qlonglong(previewCount), micros(buildAll) / 1000.0, qlonglong(held));
    for (const IconPreviewRep &preview : icons.first().previewReps)
        preview.image.bitmap();
    std::printf("after drawing the first icon's previews: %lld bytes\n", qlonglong(cache.byteCount()));

    const bool ok = held == 0 && double(previewTotal) / double(decodeTotal) <= 1.0 / 20 && worst <= 1.0 / 20;
    std::printf("%s\n",
        ok ? "OK: previews cost at most 1/20 of a full decode and no pixels"
           : "FAIL: previews cost more than 1/20 of a full decode, or held pixels");
    return ok ? 0 : 1;
}
