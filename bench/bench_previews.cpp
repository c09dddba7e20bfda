// SPDX-License-Identifier: GPL-3.0-or-later
// How much building an icon's previews costs next to decoding its pixels, for every kind of
// element (PNG, RLE pictures with masks, ARGB, JPEG 2000), and what holding previews costs in
// pixel memory. Previews read headers only, so they must stay at or below 1/20 of a full decode.
// Each sample is measured several times and its median counts. Also: what the thumbnail provider
// keeps of one icon's drawn previews, and what a thousand draws of one icon cost once its picture
// is made.

#include "benchtable.h"
#include "support/icnsbuilder.h"
#include "support/jpeg2000encoder.h"

#include "library/thumbnailprovider.h"
#include "model/icon.h"
#include "platform/images/platformimage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMap>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct Sample
{
    QString name;
    QString kind;
    IconFileType type;
    QByteArray data;
};

constexpr int repeats = 7;

Icon makeIcon(const Sample &sample)
{
    const bool icns = sample.type == IconFileType::icns;
    return Icon { .id = QUuid::createUuid(),
        .containerID = QUuid::createUuid(),
        .name = sample.name,
        .type = sample.type,
        .icnsData = icns ? std::optional(sample.data) : std::nullopt,
        .imageData = icns ? std::nullopt : std::optional(sample.data) };
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
        samples.append(
            { QStringLiteral("icns-%1").arg(i), QStringLiteral("ICNS PNG"), IconFileType::icns, builder.build() });
    }
    // Older icons: 24-bit RLE pictures with their masks, and the ARGB ones.
    for (int i = 0; i < icnsCount / 4; ++i) {
        const QColor colour = QColor::fromHsv((i * 41) % 360, 160, 210);
        const auto picture = [&colour](int side) { return IcnsBuilder::pattern(side, side, colour); };
        IcnsBuilder builder;
        builder.add("is32", IcnsBuilder::rle24(picture(16))).add("s8mk", IcnsBuilder::mask(picture(16)));
        builder.add("il32", IcnsBuilder::rle24(picture(32))).add("l8mk", IcnsBuilder::mask(picture(32)));
        builder.add("ih32", IcnsBuilder::rle24(picture(48))).add("h8mk", IcnsBuilder::mask(picture(48)));
        builder.add("it32", IcnsBuilder::rle24(picture(128), 4)).add("t8mk", IcnsBuilder::mask(picture(128)));
        builder.add("ic04", IcnsBuilder::argb(picture(16))).add("ic05", IcnsBuilder::argb(picture(32)));
        samples.append(
            { QStringLiteral("rle-%1").arg(i), QStringLiteral("ICNS RLE"), IconFileType::icns, builder.build() });
    }
    for (int i = 0; i < icnsCount / 4; ++i) {
        const QColor colour = QColor::fromHsv((i * 29) % 360, 190, 200);
        IcnsBuilder builder;
        for (const auto &[type, side] : QList<QPair<QByteArray, int>> { { "ic07", 128 }, { "ic08", 256 } }) {
            const auto container
                = side == 128 ? Jpeg2000Encoder::Container::codestream : Jpeg2000Encoder::Container::jp2;
            builder.add(type, Jpeg2000Encoder::encode(IcnsBuilder::pattern(side, side, colour), container));
        }
        samples.append(
            { QStringLiteral("jp2-%1").arg(i), QStringLiteral("ICNS JPEG 2000"), IconFileType::icns, builder.build() });
    }
    for (int i = 0; i < pngCount; ++i) {
        const int side = 256 << (i % 3); // 256, 512, 1024 px
        const QColor colour = QColor::fromHsv((i * 53) % 360, 200, 200);
        samples.append({ QStringLiteral("png-%1-%2px").arg(i).arg(side), QStringLiteral("PNG"), IconFileType::image,
            IcnsBuilder::png(IcnsBuilder::pattern(side, side, colour), 144) });
    }
    return samples;
}

double micros(double nanos)
{
    return nanos / 1000.0;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QList<Sample> samples = makeSamples(40, 30);

    std::printf("%-16s %6s %12s %14s %8s   (medians of %d)\n", "icon", "reps", "previews µs", "full decode µs", "ratio",
        repeats);
    double worst = 0;
    double previewTotal = 0, decodeTotal = 0;
    QMap<QString, double> worstByKind;
    for (const Sample &sample : samples) {
        QList<double> previewTimes, decodeTimes;
        qsizetype decoded = 0;
        for (int repeat = 0; repeat < repeats; ++repeat) {
            QElapsedTimer timer;
            timer.start();
            const Icon icon = makeIcon(sample);
            previewTimes.append(double(timer.nsecsElapsed()));

            timer.restart();
            const std::optional<PlatformImage> image = PlatformImage::fromData(sample.data);
            decoded = 0;
            for (const ImageRep &rep : image->representations())
                decoded += rep.decodedBitmap().isNull() ? 0 : 1;
            decodeTimes.append(double(timer.nsecsElapsed()));
            if (decoded != image->representations().size()) {
                std::printf("%s did not decode\n", qPrintable(sample.name));
                return 1;
            }
        }
        const double previews = median(previewTimes), decode = median(decodeTimes);
        const double ratio = previews / decode;
        worst = std::max(worst, ratio);
        worstByKind[sample.kind] = std::max(worstByKind.value(sample.kind), ratio);
        previewTotal += previews;
        decodeTotal += decode;
        std::printf("%-16s %6lld %12.1f %14.1f %8.4f\n", qPrintable(sample.name), qlonglong(decoded), micros(previews),
            micros(decode), ratio);
    }
    BenchTable table;
    const QString all = u"all %1 icons"_s.arg(samples.size());
    table.add(all + u": previews per icon"_s, micros(previewTotal) / samples.size(), u"µs"_s, std::nullopt, 1);
    table.add(all + u": full decode per icon"_s, micros(decodeTotal) / samples.size(), u"µs"_s, std::nullopt, 1);
    table.add(all + u": previews against a full decode"_s, previewTotal / decodeTotal, u"×"_s, 1.0 / 20, 4);
    table.add(all + u": worst of one icon"_s, worst, u"×"_s, 1.0 / 20, 4);
    for (auto it = worstByKind.cbegin(); it != worstByKind.cend(); ++it)
        table.add(u"worst of one icon, "_s + it.key(), it.value(), u"×"_s, std::nullopt, 4);

    // Building the previews of a thousand icons.
    QList<Icon> icons;
    qint64 fileBytes = 0;
    QElapsedTimer timer;
    timer.start();
    qsizetype previewCount = 0;
    // An icon builds its previews when first asked for them; asking here counts them in.
    for (int i = 0; i < 1000; ++i) {
        const Sample &sample = samples.at(i % samples.size());
        icons.append(makeIcon(sample));
        previewCount += icons.constLast().previewReps().size();
        fileBytes += sample.data.size();
    }
    const double buildAll = double(timer.nsecsElapsed());
    const QString thousand
        = u"1000 icons (%1 MiB of icon data, %2 previews)"_s.arg(double(fileBytes) / (1 << 20), 0, 'f', 1)
              .arg(previewCount);
    table.add(thousand + u": built"_s, micros(buildAll) / 1000.0, u"ms"_s, std::nullopt, 1);

    // The pictures a view gets of one icon's previews on a 2x screen, as the views ask for them.
    ThumbnailProvider provider;
    QObject view;
    // The picture `ask` gets once the provider has made it.
    const auto picture = [&provider](const std::function<QImage()> &ask) {
        QImage got = ask();
        if (got.isNull()) {
            QEventLoop loop;
            QObject::connect(&provider, &ThumbnailProvider::ready, &loop, &QEventLoop::quit);
            loop.exec();
            got = ask();
        }
        return got;
    };
    for (const IconPreviewRep &preview : icons.first().previewReps()) {
        const QUuid id = QUuid::createUuid();
        const double points = preview.image.size().width();
        if (picture([&] { return provider.request(&view, id, preview.image, points, 2.0); }).isNull())
            return 1;
    }
    table.add(u"pixels the provider keeps after drawing the first icon's previews at 2x"_s,
        double(provider.cachedBytes()), u"bytes"_s, std::nullopt, 0);

    // An icon drawn at one size a thousand times, as a selection strip repaints it: the first ask
    // decodes, the others find its picture.
    QList<double> drawTimes;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        provider.cancel(&view);
        const Icon icon = makeIcon(samples.first());
        if (picture([&] { return provider.request(&view, icon, 128, 2.0); }).isNull())
            return 1;
        QElapsedTimer draw;
        draw.start();
        for (int i = 0; i < 1000; ++i) {
            if (provider.request(&view, icon, 128, 2.0).isNull())
                return 1;
        }
        drawTimes.append(double(draw.nsecsElapsed()));
    }
    table.add(u"1000 draws of one icon at 128 points and 2x, median of %1"_s.arg(repeats),
        micros(median(drawTimes)) / 1000.0, u"ms"_s);
    return table.print();
}
