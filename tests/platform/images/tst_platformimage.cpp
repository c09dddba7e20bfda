// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/icnsbuilder.h"
#include "support/jpeg2000encoder.h"

#include "platform/images/platformimage.h"

#include <QBuffer>
#include <QtEndian>
#include <QTest>

#include <thread>

namespace {

QImage premultiplied(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage opaque(const QImage &image)
{
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < copy.height(); ++y) {
        for (int x = 0; x < copy.width(); ++x)
            copy.setPixel(x, y, copy.pixel(x, y) | 0xff000000u);
    }
    return copy;
}

QByteArray jp2(const QImage &image)
{
    return Jpeg2000Encoder::encode(image, Jpeg2000Encoder::Container::jp2);
}
QByteArray j2k(const QImage &image)
{
    return Jpeg2000Encoder::encode(image, Jpeg2000Encoder::Container::codestream);
}

QByteArray icnsOf(QByteArrayView type, const QByteArray &data)
{
    return IcnsBuilder().add(type, data).build();
}

// An ICNS file with one PNG element per pixel side, in the order given.
QByteArray pngIcns(const QList<QPair<QByteArray, int>> &elements)
{
    IcnsBuilder builder;
    for (const auto &[type, side] : elements)
        builder.add(type, IcnsBuilder::png(IcnsBuilder::pattern(side, side)));
    return builder.build();
}

void putU32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToBigEndian(value, bytes.data() + at);
}

} // namespace

class TestPlatformImage : public QObject
{
    Q_OBJECT

private slots:
    void icnsElementKinds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QSizeF>("points");
        QTest::addColumn<QImage>("expected");

        const QImage p16 = IcnsBuilder::pattern(16, 16), p32 = IcnsBuilder::pattern(32, 32);
        const QImage p48 = IcnsBuilder::pattern(48, 48), p64 = IcnsBuilder::pattern(64, 64);
        const QImage p128 = IcnsBuilder::pattern(128, 128), p256 = IcnsBuilder::pattern(256, 256);
        QTest::newRow("icp4 PNG") << icnsOf("icp4", IcnsBuilder::png(p16)) << QSize(16, 16) << QSizeF(16, 16) << p16;
        QTest::newRow("ic12 PNG at 2x") << icnsOf("ic12", IcnsBuilder::png(p64)) << QSize(64, 64) << QSizeF(32, 32)
                                        << p64;
        QTest::newRow("ic07 JP2 file") << icnsOf("ic07", jp2(p128)) << QSize(128, 128) << QSizeF(128, 128) << p128;
        QTest::newRow("ic08 raw codestream")
            << icnsOf("ic08", j2k(p256)) << QSize(256, 256) << QSizeF(256, 256) << p256;
        QTest::newRow("ic13 JP2 at 2x") << icnsOf("ic13", jp2(p256)) << QSize(256, 256) << QSizeF(128, 128) << p256;
        QTest::newRow("ic04 ARGB") << icnsOf("ic04", IcnsBuilder::argb(p16)) << QSize(16, 16) << QSizeF(16, 16) << p16;
        QTest::newRow("ic05 ARGB") << icnsOf("ic05", IcnsBuilder::argb(p32)) << QSize(32, 32) << QSizeF(32, 32) << p32;
        QTest::newRow("is32 with s8mk")
            << IcnsBuilder().add("is32", IcnsBuilder::rle24(p16)).add("s8mk", IcnsBuilder::mask(p16)).build()
            << QSize(16, 16) << QSizeF(16, 16) << p16;
        QTest::newRow("mask before il32")
            << IcnsBuilder().add("l8mk", IcnsBuilder::mask(p32)).add("il32", IcnsBuilder::rle24(p32)).build()
            << QSize(32, 32) << QSizeF(32, 32) << p32;
        QTest::newRow("ih32 without mask is opaque")
            << icnsOf("ih32", IcnsBuilder::rle24(p48)) << QSize(48, 48) << QSizeF(48, 48) << opaque(p48);
        QTest::newRow("it32 with leading zeros and t8mk")
            << IcnsBuilder().add("it32", IcnsBuilder::rle24(p128, 4)).add("t8mk", IcnsBuilder::mask(p128)).build()
            << QSize(128, 128) << QSizeF(128, 128) << p128;
        QTest::newRow("mask of the wrong length is ignored")
            << IcnsBuilder().add("is32", IcnsBuilder::rle24(p16)).add("s8mk", QByteArray(100, '\x10')).build()
            << QSize(16, 16) << QSizeF(16, 16) << opaque(p16);
    }

    void icnsElementKinds()
    {
        QFETCH(QByteArray, file);
        QFETCH(QSize, pixels);
        QFETCH(QSizeF, points);
        QFETCH(QImage, expected);

        const std::optional<PlatformImage> image = PlatformImage::fromData(file);
        QVERIFY(image);
        QCOMPARE(image->representations().size(), 1);
        const ImageRep rep = image->representations().first();
        QCOMPARE(rep.pixelSize(), pixels);
        QCOMPARE(rep.pointSize(), points);
        QCOMPARE(image->size(), points);
        QCOMPARE(rep.decodedBitmap(), premultiplied(expected));
    }

    // Elements without a picture we show are skipped; the rest keep file order.
    void icnsKeepsFileOrderAndSkipsOthers()
    {
        const QImage p16 = IcnsBuilder::pattern(16, 16);
        const QByteArray file = IcnsBuilder()
                                    .add("TOC ", QByteArray(16, '\0'))
                                    .add("icnV", QByteArray(4, '\0'))
                                    .add("ICN#", QByteArray(256, '\xff'))
                                    .add("ic09", IcnsBuilder::png(IcnsBuilder::pattern(512, 512)))
                                    .add("is32", IcnsBuilder::rle24(p16))
                                    .add("ic14", IcnsBuilder::png(IcnsBuilder::pattern(512, 512)))
                                    .add("name", QByteArray("whatever"))
                                    .build();
        const std::optional<PlatformImage> image = PlatformImage::fromData(file);
        QVERIFY(image);
        QList<QSizeF> points;
        for (const ImageRep &rep : image->representations())
            points.append(rep.pointSize());
        QCOMPARE(points, (QList<QSizeF> { QSizeF(512, 512), QSizeF(16, 16), QSizeF(256, 256) }));
        QCOMPARE(image->size(), QSizeF(512, 512));
    }

    void pngPointSize_data()
    {
        QTest::addColumn<QByteArray>("png");
        QTest::addColumn<QSizeF>("points");

        const QImage image = IcnsBuilder::pattern(200, 100);
        QTest::newRow("no pHYs: 72 dpi") << IcnsBuilder::png(image) << QSizeF(200, 100);
        QTest::newRow("72 dpi stored as 2835 per metre") << IcnsBuilder::png(image, 72) << QSizeF(200, 100);
        QTest::newRow("144 dpi") << IcnsBuilder::png(image, 144) << QSizeF(100, 50);
        QTest::newRow("96 dpi") << IcnsBuilder::png(image, 96) << QSizeF(150, 75);

        // pHYs with unit 0 only gives an aspect ratio, not a density.
        QByteArray unknownUnit = IcnsBuilder::png(image, 144);
        const qsizetype phys = unknownUnit.indexOf("pHYs");
        QVERIFY(phys > 0);
        unknownUnit[phys + 4 + 8] = '\0';
        QTest::newRow("pHYs without a unit") << unknownUnit << QSizeF(200, 100);

        QByteArray twoDensities = IcnsBuilder::png(image, 144);
        putU32(twoDensities, phys + 4 + 4, 2835);
        QTest::newRow("own density per axis") << twoDensities << QSizeF(100, 100);
    }

    void pngPointSize()
    {
        QFETCH(QByteArray, png);
        QFETCH(QSizeF, points);

        const std::optional<PlatformImage> image = PlatformImage::fromData(png);
        QVERIFY(image);
        QCOMPARE(image->size(), points);
        QCOMPARE(image->representations().first().pixelSize(), QSize(200, 100));
    }

    void otherFormatsThroughQt()
    {
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(IcnsBuilder::pattern(24, 12).save(&buffer, "BMP"));
        const std::optional<PlatformImage> image = PlatformImage::fromData(bmp);
        QVERIFY(image);
        QCOMPARE(image->size(), QSizeF(24, 12));
        QCOMPARE(image->representations().first().decodedBitmap().size(), QSize(24, 12));
    }

    void pngPixelsPremultipliedAsQtDoes_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::newRow("translucent") << QImage::Format_ARGB32;
        QTest::newRow("opaque") << QImage::Format_RGB32;
        QTest::newRow("grey") << QImage::Format_Grayscale8;
    }

    // Large enough that Qt would split the conversion over threads; every alpha and colour value.
    void pngPixelsPremultipliedAsQtDoes()
    {
        QFETCH(QImage::Format, format);
        QImage source(600, 600, QImage::Format_ARGB32);
        quint32 seed = 1;
        for (int y = 0; y < source.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(source.scanLine(y));
            for (int x = 0; x < source.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                row[x] = seed;
            }
        }
        source = source.convertToFormat(format);
        const QByteArray png = IcnsBuilder::png(source);
        const std::optional<PlatformImage> image = PlatformImage::fromData(png);
        QVERIFY(image);
        const QImage pixels = image->representations().first().decodedBitmap();
        QCOMPARE(pixels.format(), QImage::Format_ARGB32_Premultiplied);
        QImage expected = QImage::fromData(png).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(pixels, expected);
    }

    void bestRepresentation_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("expected");

        const QByteArray set = pngIcns({ { "ic07", 128 }, { "icp4", 16 }, { "ic08", 256 }, { "icp5", 32 } });
        QTest::newRow("exact") << set << 32.0 << 3;
        QTest::newRow("the next larger") << set << 17.0 << 3;
        QTest::newRow("fraction rounds up") << set << 128.5 << 2;
        QTest::newRow("below all: the smallest") << set << 4.0 << 1;
        QTest::newRow("above all: the largest") << set << 1024.0 << 2;
        QTest::newRow("equal pixels: the first")
            << pngIcns({ { "ic13", 256 }, { "ic08", 256 }, { "ic07", 128 } }) << 200.0 << 0;
        QTest::newRow("equal pixels, none covers: the first")
            << pngIcns({ { "ic07", 128 }, { "ic13", 128 } }) << 512.0 << 0;

        // Both sides must cover the square.
        IcnsBuilder wide;
        wide.add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(128, 40)));
        wide.add("ic08", IcnsBuilder::png(IcnsBuilder::pattern(64, 64)));
        QTest::newRow("a wide one does not cover") << wide.build() << 48.0 << 1;
        QTest::newRow("none covers: the most pixels") << wide.build() << 100.0 << 0;
    }

    void bestRepresentation()
    {
        QFETCH(QByteArray, file);
        QFETCH(double, points);
        QFETCH(int, expected);

        const std::optional<PlatformImage> image = PlatformImage::fromData(file);
        QVERIFY(image);
        const std::optional<ImageRep> best = image->bestRepresentation(points);
        QVERIFY(best);
        const QList<ImageRep> &reps = image->representations();
        // Representations share nothing but their file, so pixel and point sizes tell them apart
        // except for equal ones, where the decoded pixels of distinct sources are distinct cache entries.
        QCOMPARE(best->pixelSize(), reps.at(expected).pixelSize());
        QCOMPARE(best->pointSize(), reps.at(expected).pointSize());
    }

    void refusedInput_data()
    {
        QTest::addColumn<QByteArray>("data");

        const QByteArray png = IcnsBuilder::png(IcnsBuilder::pattern(64, 64));
        const QByteArray icns = pngIcns({ { "icp6", 64 } });
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("this is not an image");
        QTest::newRow("PNG cut inside a chunk") << png.left(png.size() / 2);
        // Signature and IHDR: a header, but no image data after it.
        QTest::newRow("PNG without image data") << png.left(8 + 25);
        QTest::newRow("PNG signature only") << png.left(8);

        QByteArray huge = png;
        putU32(huge, 16, 100000);
        putU32(huge, 20, 100000);
        QTest::newRow("PNG claims 100000 x 100000") << huge;
        QByteArray tooManyPixels = png;
        putU32(tooManyPixels, 16, 16000);
        putU32(tooManyPixels, 20, 16000);
        QTest::newRow("PNG claims 16000 x 16000") << tooManyPixels;

        // SIZ starts after the SOC marker: Xsiz at 8, Ysiz at 12.
        QByteArray hugeCodestream = j2k(IcnsBuilder::pattern(16, 16));
        putU32(hugeCodestream, 8, 60000);
        putU32(hugeCodestream, 12, 60000);
        QTest::newRow("codestream claims 60000 x 60000") << hugeCodestream;
        QByteArray manyTiles = j2k(IcnsBuilder::pattern(16, 16));
        putU32(manyTiles, 8, 4000);
        putU32(manyTiles, 12, 4000);
        putU32(manyTiles, 24, 1);
        putU32(manyTiles, 28, 1);
        QTest::newRow("codestream claims 16 million tiles") << manyTiles;
        QTest::newRow("codestream cut in its header") << j2k(IcnsBuilder::pattern(16, 16)).left(20);

        QByteArray bmp("BM");
        bmp.append(QByteArray(52, '\0'));
        qToLittleEndian<quint32>(54, bmp.data() + 10);
        qToLittleEndian<quint32>(40, bmp.data() + 14);
        qToLittleEndian<qint32>(200000, bmp.data() + 18);
        qToLittleEndian<qint32>(200000, bmp.data() + 22);
        qToLittleEndian<quint16>(1, bmp.data() + 26);
        qToLittleEndian<quint16>(32, bmp.data() + 28);
        QTest::newRow("BMP claims 200000 x 200000") << bmp;

        QByteArray pastEnd = icns;
        putU32(pastEnd, 12, quint32(icns.size()));
        QTest::newRow("ICNS element length past the end") << pastEnd;
        QByteArray belowEight = icns;
        putU32(belowEight, 12, 7);
        QTest::newRow("ICNS element length below 8") << belowEight;
        QByteArray zero = icns;
        putU32(zero, 12, 0);
        QTest::newRow("ICNS element length 0") << zero;
        QByteArray fileTooLong = icns;
        putU32(fileTooLong, 4, quint32(icns.size() + 1));
        QTest::newRow("ICNS file length past the end") << fileTooLong;
        QByteArray cutHeader = icns + QByteArray("ic0");
        putU32(cutHeader, 4, quint32(cutHeader.size()));
        QTest::newRow("ICNS cut in an element header") << cutHeader;
        QTest::newRow("ICNS header only") << IcnsBuilder().build();
        QTest::newRow("ICNS without pictures") << IcnsBuilder().add("TOC ", QByteArray(8, '\0')).build();

        const QImage p16 = IcnsBuilder::pattern(16, 16);
        QTest::newRow("ARGB without its tag") << icnsOf("ic04", IcnsBuilder::argb(p16).mid(4));
        QTest::newRow("it32 shorter than its zeros") << icnsOf("it32", QByteArray(3, '\0'));
        QTest::newRow("PNG element cut") << icnsOf("ic07", png.left(png.size() / 2));
    }

    void refusedInput()
    {
        QFETCH(QByteArray, data);
        QVERIFY(!PlatformImage::fromData(data));
    }

    // Damage past the headers shows only when the pixels are decoded: a null bitmap, never a crash.
    void undecodablePixels_data()
    {
        QTest::addColumn<QByteArray>("data");

        QByteArray png = IcnsBuilder::png(IcnsBuilder::pattern(64, 64));
        const qsizetype idat = png.indexOf("IDAT");
        for (qsizetype i = idat + 4; i < idat + 40; ++i)
            png[i] = char(0x5a);
        QTest::newRow("PNG with damaged image data") << png;
        QTest::newRow("PNG element with damaged image data") << icnsOf("ic07", png);

        const QByteArray codestream = j2k(IcnsBuilder::pattern(64, 64));
        QTest::newRow("codestream cut after its header") << codestream.left(codestream.size() / 2);
        // The coding-style marker right after SIZ, with a length that runs past the file.
        QByteArray damaged = jp2(IcnsBuilder::pattern(64, 64));
        const qsizetype cod = damaged.indexOf("\xff\x52");
        QVERIFY(cod > 0);
        damaged[cod + 2] = char(0xff);
        damaged[cod + 3] = char(0xff);
        QTest::newRow("JP2 with a damaged main header") << damaged;

        // RLE planes are walked only when drawn.
        const QImage p16 = IcnsBuilder::pattern(16, 16);
        // Two repeats of 130 pass the 256 bytes of a 16 x 16 plane.
        QTest::newRow("RLE run past the plane")
            << icnsOf("is32", QByteArray("\xff\x01\xff\x01") + QByteArray(2000, '\1'));
        QTest::newRow("RLE plane short of data") << icnsOf("is32", IcnsBuilder::rle24(p16).left(100));
        QTest::newRow("ARGB planes short of data") << icnsOf("ic04", IcnsBuilder::argb(p16).left(60));
    }

    void undecodablePixels()
    {
        QFETCH(QByteArray, data);
        const std::optional<PlatformImage> image = PlatformImage::fromData(data);
        QVERIFY(image);
        for (const ImageRep &rep : image->representations()) {
            QVERIFY(!rep.hasFailed()); // reading the headers decoded nothing
            QVERIFY(rep.decodedBitmap().isNull());
            QVERIFY(rep.hasFailed());
            QVERIFY(rep.decodedBitmap().isNull());
        }
        QVERIFY(PlatformImage::fittedBitmap(image->representations(), 64).isNull());
    }

    // A representation whose pixels do not decode counts as absent from then on: drawing falls
    // back to the next best, and choosing passes it over.
    void damagedRepresentationGivesWay_data()
    {
        QTest::addColumn<QByteArray>("damagedElement");

        QByteArray png = IcnsBuilder::png(IcnsBuilder::pattern(256, 256));
        const qsizetype idat = png.indexOf("IDAT");
        for (qsizetype i = idat + 4; i < idat + 40; ++i)
            png[i] = char(0x5a);
        QTest::newRow("PNG element") << png;
        const QByteArray codestream = j2k(IcnsBuilder::pattern(256, 256));
        QTest::newRow("JPEG 2000 element cut after its header") << codestream.left(codestream.size() / 2);
    }

    void damagedRepresentationGivesWay()
    {
        QFETCH(QByteArray, damagedElement);
        const auto image = PlatformImage::fromData(IcnsBuilder()
                                                       .add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(128, 128)))
                                                       .add("ic08", damagedElement)
                                                       .build());
        QVERIFY(image);
        QCOMPARE(image->bestRepresentation(256)->pixelSize(), QSize(256, 256));

        const PlatformImage preview = PlatformImage::fromRepresentation(
            *image->bestRepresentation(256), QSizeF(256, 256), image->representations());
        ImageRep drawnFrom;
        const QImage drawn = PlatformImage::fittedBitmap(preview.drawingRepresentations(), 256, &drawnFrom);
        QCOMPARE(drawnFrom, image->representations().at(0));
        QCOMPARE(drawn,
            image->representations().at(0).decodedBitmap().scaled(
                256, 256, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        QVERIFY(image->representations().at(1).hasFailed());
        QCOMPARE(image->bestRepresentation(256)->pixelSize(), QSize(128, 128));

        // With nothing left to draw from, there is no best representation at all.
        const auto alone = PlatformImage::fromData(IcnsBuilder().add("ic08", damagedElement).build());
        QVERIFY(PlatformImage::decodedBest(alone->representations(), 256).isNull());
        QVERIFY(!alone->bestRepresentation(256));
    }

    // A preview made from one representation draws from the image's best one for each ratio.
    void previewDrawsFromTheBestForTheRatio()
    {
        const auto image = PlatformImage::fromData(pngIcns({ { "ic07", 128 }, { "ic08", 256 } }));
        const ImageRep &large = image->representations().at(1);
        const PlatformImage preview = PlatformImage::fromRepresentation(
            *image->bestRepresentation(128), QSizeF(128, 128), image->representations());
        QCOMPARE(preview.representations().size(), 1);
        QCOMPARE(PlatformImage::fittedBitmap(preview.drawingRepresentations(), 256), large.decodedBitmap());
        QCOMPARE(PlatformImage::fittedBitmap(preview.drawingRepresentations(), 128),
            image->representations().at(0).decodedBitmap());
    }

    // Thumbnails of one image decode on several threads at once.
    void concurrentDecoding()
    {
        const auto image = PlatformImage::fromData(pngIcns({ { "icp4", 16 }, { "ic07", 128 }, { "ic08", 256 } }));
        QList<ImageRep> reps;
        for (int i = 0; i < 64; ++i)
            reps.append(image->representations().at(i % 3));
        QList<QSize> sizes(reps.size());
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t) {
            threads.emplace_back([&reps, &sizes, t] {
                for (qsizetype i = t; i < reps.size(); i += 8)
                    sizes[i] = PlatformImage::fittedBitmap({ reps.at(i) }, reps.at(i).pixelSize().width() / 2).size();
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        for (qsizetype i = 0; i < sizes.size(); ++i)
            QCOMPARE(sizes.at(i), reps.at(i).pixelSize() / 2);
    }

    void fittedBitmap_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("side");
        QTest::addColumn<QSize>("pixels");

        const QByteArray square = pngIcns({ { "ic09", 512 } });
        QTest::newRow("scaled down") << square << 16 << QSize(16, 16);
        QTest::newRow("to an uneven side") << square << 150 << QSize(150, 150);
        QTest::newRow("scaled up when none is larger") << pngIcns({ { "icp4", 16 } }) << 40 << QSize(40, 40);
        QTest::newRow("wide keeps its aspect ratio")
            << IcnsBuilder::png(IcnsBuilder::pattern(200, 100)) << 50 << QSize(50, 25);
        QTest::newRow("tall keeps its aspect ratio")
            << IcnsBuilder::png(IcnsBuilder::pattern(30, 120)) << 60 << QSize(15, 60);
        QTest::newRow("a sliver keeps one pixel")
            << IcnsBuilder::png(IcnsBuilder::pattern(400, 1)) << 100 << QSize(100, 1);
        QTest::newRow("one pixel") << square << 1 << QSize(1, 1);
        QTest::newRow("no pixels") << square << 0 << QSize(0, 0);
    }

    void fittedBitmap()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, side);
        QFETCH(QSize, pixels);

        const auto image = PlatformImage::fromData(file);
        QVERIFY(image);
        const QImage picture = PlatformImage::fittedBitmap(image->representations(), side);
        QCOMPARE(picture.size(), pixels);
        if (!picture.isNull())
            QCOMPARE(picture.format(), QImage::Format_ARGB32_Premultiplied);
    }

    void namedImages()
    {
        const PlatformImage collection = PlatformImage::named(QStringLiteral("CollectionIcon"));
        QList<QSize> pixels;
        for (const ImageRep &rep : collection.representations()) {
            pixels.append(rep.pixelSize());
            QCOMPARE(QSizeF(rep.pixelSize()), rep.pointSize());
        }
        QCOMPARE(pixels,
            (QList<QSize> {
                QSize(16, 16), QSize(32, 32), QSize(64, 64), QSize(128, 128), QSize(256, 256), QSize(512, 512) }));
        QVERIFY(!collection.bestRepresentation(32)->decodedBitmap().isNull());
        QVERIFY(PlatformImage::named(QStringLiteral("NoSuchImage")).isNull());
    }
};

QTEST_GUILESS_MAIN(TestPlatformImage)
#include "tst_platformimage.moc"
