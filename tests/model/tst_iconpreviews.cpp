// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/icnsbuilder.h"

#include "model/icon.h"
#include "model/iconcontainer.h"

#include <QTest>
#include <QThread>

namespace {

Icon makeIcon(IconFileType type, std::optional<QByteArray> icns, std::optional<QByteArray> image)
{
    return Icon { .id = QUuid::createUuid(),
        .containerID = QUuid::createUuid(),
        .name = QStringLiteral("Icon"),
        .type = type,
        .icnsData = std::move(icns),
        .imageData = std::move(image) };
}

// A PNG of `pixels` square at `dpi`, so its width in points is pixels × 72 / dpi.
QByteArray png(int pixels, double dpi = 72)
{
    return IcnsBuilder::png(IcnsBuilder::pattern(pixels, pixels), dpi);
}

QByteArray fullIcns()
{
    IcnsBuilder builder;
    for (const auto &[type, side] :
        QList<QPair<QByteArray, int>> { { "icp4", 16 }, { "ic11", 32 }, { "icp5", 32 }, { "ic12", 64 }, { "ic07", 128 },
            { "ic13", 256 }, { "ic08", 256 }, { "ic14", 512 }, { "ic09", 512 }, { "ic10", 1024 } })
        builder.add(type, png(side));
    return builder.build();
}

QList<int> sizesOf(const QList<IconPreviewRep> &reps)
{
    QList<int> sizes;
    for (const IconPreviewRep &rep : reps)
        sizes.append(rawValue(rep.size));
    return sizes;
}

// What a view draws of `image` at `ratio`: a square of its size in pixels.
QImage drawn(const PlatformImage &image, qreal ratio = 1, ImageRep *drawnFrom = nullptr)
{
    return PlatformImage::fittedBitmap(image.drawingRepresentations(), qRound(image.size().width() * ratio), drawnFrom);
}

QByteArray damaged(QByteArray png)
{
    const qsizetype idat = png.indexOf("IDAT");
    for (qsizetype i = idat + 4; i < idat + 40; ++i)
        png[i] = char(0x5a);
    return png;
}

const QList<int> allSizes { 16, 32, 64, 128, 256, 512 };

bool isCollectionIcon(const PlatformImage &image)
{
    return image.representations().size() == 6 && image.size() == QSizeF(512, 512);
}

} // namespace

class TestIconPreviews : public QObject
{
    Q_OBJECT

private slots:
    void previews_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<std::optional<QByteArray>>("icns");
        QTest::addColumn<std::optional<QByteArray>>("image");
        QTest::addColumn<QList<int>>("sizes");

        const int icns = int(IconFileType::icns), image = int(IconFileType::image);
        const std::optional<QByteArray> none;
        QTest::newRow("ICNS with every element") << icns << std::optional(fullIcns()) << none << allSizes;
        // With one representation, every size draws from it.
        QTest::newRow("ICNS with only 16 px")
            << icns << std::optional(IcnsBuilder().add("icp4", png(16)).build()) << none << allSizes;
        QTest::newRow("ICNS with only 1024 px")
            << icns << std::optional(IcnsBuilder().add("ic10", png(1024)).build()) << none << allSizes;
        QTest::newRow("ICNS type without ICNS data") << icns << none << std::optional(png(16)) << QList<int>();
        QTest::newRow("ICNS data that is no image")
            << icns << std::optional(QByteArray("icns junk")) << none << QList<int>();
        QTest::newRow("16 pt PNG") << image << none << std::optional(png(16)) << allSizes;
        QTest::newRow("100 pt PNG (200 px at 144 dpi)")
            << image << none << std::optional(png(200, 144)) << QList<int> { 128, 256, 512 };
        QTest::newRow("100 px PNG at 72 dpi")
            << image << none << std::optional(png(100)) << QList<int> { 128, 256, 512 };
        QTest::newRow("512 pt PNG") << image << none << std::optional(png(512)) << QList<int> { 512 };
        // Wider than the largest size: that one entry still, so the icon shows in the grid and list.
        QTest::newRow("1024 pt PNG") << image << none << std::optional(png(1024)) << QList<int> { 512 };
        QTest::newRow("1024 px PNG at 144 dpi is 512 pt")
            << image << none << std::optional(png(1024, 144)) << QList<int> { 512 };
        QTest::newRow("image type without image data") << image << std::optional(fullIcns()) << none << QList<int>();
        QTest::newRow("image data that is no image")
            << image << none << std::optional(QByteArray("not a png")) << QList<int>();
    }

    // Every preview drawn from a bitmap measures exactly its size, whatever the pixels behind it.
    void previews()
    {
        QFETCH(int, type);
        QFETCH(std::optional<QByteArray>, icns);
        QFETCH(std::optional<QByteArray>, image);
        QFETCH(QList<int>, sizes);

        const Icon icon = makeIcon(IconFileType(type), icns, image);
        QCOMPARE(sizesOf(icon.previewReps()), sizes);
        for (const IconPreviewRep &rep : icon.previewReps()) {
            QCOMPARE(rep.image.size(), QSizeF(pointSize(rep.size), pointSize(rep.size)));
            QCOMPARE(rep.image.representations().size(), 1);
        }
    }

    // Previews pick the best representation: the smallest that covers the size, else the largest.
    void previewsDrawFromTheBestRepresentation()
    {
        const Icon icon = makeIcon(IconFileType::icns, fullIcns(), std::nullopt);
        QList<QSize> pixels;
        for (const IconPreviewRep &rep : icon.previewReps())
            pixels.append(rep.image.representations().first().pixelSize());
        QCOMPARE(pixels,
            (QList<QSize> {
                QSize(16, 16), QSize(32, 32), QSize(64, 64), QSize(128, 128), QSize(256, 256), QSize(512, 512) }));
        ImageRep drawnFrom;
        QCOMPARE(drawn(icon.previewReps().at(2).image, 2.0, &drawnFrom).size(), QSize(128, 128));
        QCOMPARE(drawnFrom.pixelSize(), QSize(128, 128));
    }

    // The image is read once for an icon and its copies, from the data it was built with, even when
    // the first to ask is a copy on another thread after the original's data has changed.
    void copiesShareOneReading()
    {
        Icon icon = makeIcon(IconFileType::icns, fullIcns(), std::nullopt);
        const Icon copy = icon;
        icon.icnsData = png(16);
        const QList<IconPreviewRep> *fromThread = nullptr;
        QThread *thread = QThread::create([&] { fromThread = &copy.previewReps(); });
        thread->start();
        QVERIFY(thread->wait(10000));
        delete thread;
        QCOMPARE(fromThread, &icon.previewReps());
        QCOMPARE(&copy.dataImage(), &icon.dataImage());
        QCOMPARE(sizesOf(icon.previewReps()), allSizes);
    }

    // Building previews reads headers only: damaged pixels show when drawn, and the next best stands in.
    void previewsDecodeNothingUntilDrawn()
    {
        const QByteArray icns = IcnsBuilder().add("ic08", png(256)).add("ic09", damaged(png(512))).build();
        const Icon icon = makeIcon(IconFileType::icns, icns, std::nullopt);
        QCOMPARE(sizesOf(icon.previewReps()), allSizes);
        for (const ImageRep &rep : icon.dataImage().representations())
            QVERIFY(!rep.hasFailed());

        ImageRep drawnFrom;
        QCOMPARE(drawn(icon.previewReps().last().image, 1, &drawnFrom).size(), QSize(512, 512));
        QCOMPARE(drawnFrom.pixelSize(), QSize(256, 256));
        QVERIFY(icon.dataImage().representations().at(1).hasFailed());
    }

    void previewImage_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<std::optional<QByteArray>>("icns");
        QTest::addColumn<std::optional<QByteArray>>("image");
        QTest::addColumn<double>("size");
        QTest::addColumn<std::optional<QSizeF>>("expected");

        const int icns = int(IconFileType::icns), image = int(IconFileType::image);
        const std::optional<QByteArray> none;
        QTest::newRow("image icon: its own size")
            << image << none << std::optional(png(200, 144)) << 20.0 << std::optional(QSizeF(100, 100));
        QTest::newRow("image icon without data")
            << image << std::optional(fullIcns()) << none << 20.0 << std::optional<QSizeF>();
        QTest::newRow("image icon with junk")
            << image << none << std::optional(QByteArray("junk")) << 20.0 << std::optional<QSizeF>();
        QTest::newRow("ICNS icon: the requested size")
            << icns << std::optional(fullIcns()) << none << 20.0 << std::optional(QSizeF(20, 20));
        QTest::newRow("ICNS icon above its largest")
            << icns << std::optional(fullIcns()) << none << 2000.0 << std::optional(QSizeF(2000, 2000));
        QTest::newRow("ICNS icon without ICNS data")
            << icns << none << std::optional(png(16)) << 20.0 << std::optional<QSizeF>();
        QTest::newRow("ICNS icon with junk")
            << icns << std::optional(QByteArray("icns\0\0\0\x09x", 9)) << none << 20.0 << std::optional<QSizeF>();
    }

    void previewImage()
    {
        QFETCH(int, type);
        QFETCH(std::optional<QByteArray>, icns);
        QFETCH(std::optional<QByteArray>, image);
        QFETCH(double, size);
        QFETCH(std::optional<QSizeF>, expected);

        const std::optional<PlatformImage> preview = makeIcon(IconFileType(type), icns, image).previewImage(size);
        QCOMPARE(preview.has_value(), expected.has_value());
        if (preview)
            QCOMPARE(preview->size(), *expected);
    }

    // At ratio 2 a 64-point preview draws from the 128-pixel element, not from the 64-pixel one.
    void previewImageDrawsFromTheBestForTheRatio()
    {
        const Icon icon = makeIcon(IconFileType::icns, fullIcns(), std::nullopt);
        ImageRep drawnFrom;
        const QImage picture = drawn(*icon.previewImage(64), 2.0, &drawnFrom);
        QCOMPARE(drawnFrom, *icon.dataImage().bestRepresentation(128));
        QCOMPARE(picture, drawnFrom.decodedBitmap());
    }

    // A custom icon whose header reads but whose pixels do not decode shows the asset once the
    // decode has failed.
    void damagedCustomIconFallsBack()
    {
        IconContainer container;
        container.customIcon = damaged(png(64));
        const PlatformImage first = container.iconImage(SidebarIconSize::defaultSize);
        QCOMPARE(first.size(), QSizeF(32, 32));
        QVERIFY(drawn(first).isNull());
        QVERIFY(isCollectionIcon(container.iconImage(SidebarIconSize::defaultSize)));
    }

    void iconImage_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("customIcon");
        QTest::addColumn<int>("sidebarSize");
        QTest::addColumn<QSizeF>("expected"); // empty: the CollectionIcon asset

        const int normal = int(SidebarIconSize::defaultSize), small = int(SidebarIconSize::small);
        QTest::newRow("no custom icon") << std::optional<QByteArray>() << normal << QSizeF();
        QTest::newRow("custom icon that is no image")
            << std::optional(QByteArray("GIF89a but not really")) << normal << QSizeF();
        QTest::newRow("custom icon cut short") << std::optional(png(64).left(40)) << small << QSizeF();
        QTest::newRow("PNG at the default size") << std::optional(png(64)) << normal << QSizeF(32, 32);
        QTest::newRow("PNG at the small size") << std::optional(png(64)) << small << QSizeF(16, 16);
        QTest::newRow("ICNS at the default size") << std::optional(fullIcns()) << normal << QSizeF(32, 32);
    }

    void iconImage()
    {
        QFETCH(std::optional<QByteArray>, customIcon);
        QFETCH(int, sidebarSize);
        QFETCH(QSizeF, expected);

        IconContainer container;
        container.customIcon = customIcon;
        const PlatformImage image = container.iconImage(SidebarIconSize(sidebarSize));
        if (expected.isEmpty()) {
            QVERIFY(isCollectionIcon(image));
            return;
        }
        QCOMPARE(image.size(), expected);
        QCOMPARE(image.representations().size(), 1);
        QCOMPARE(drawn(image, 2.0).size(), (expected * 2).toSize());
    }
};

QTEST_GUILESS_MAIN(TestIconPreviews)
#include "tst_iconpreviews.moc"
