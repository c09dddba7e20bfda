// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/icnsbuilder.h"

#include "library/thumbnailprovider.h"
#include "model/icon.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

QByteArray png(int width, int height, QColor colour = QColor(40, 120, 220))
{
    return IcnsBuilder::png(IcnsBuilder::pattern(width, height, colour));
}

QByteArray damagedPng(int side)
{
    QByteArray bytes = png(side, side);
    const qsizetype idat = bytes.indexOf("IDAT");
    for (qsizetype i = idat + 4; i < idat + 40; ++i)
        bytes[i] = char(0x5a);
    return bytes;
}

PlatformImage imageOf(const QByteArray &bytes)
{
    return PlatformImage::fromData(bytes).value_or(PlatformImage());
}

// What a view would get by decoding on its own: the best representation for the square's pixels,
// fitted into the square.
QImage directDecode(const PlatformImage &image, int side)
{
    QList<ImageRep> reps;
    for (const ImageRep &rep : image.representations()) {
        if (!rep.hasFailed())
            reps.append(rep);
    }
    const ImageRep rep = *PlatformImage::bestOf(reps, side);
    return rep.decodedBitmap().scaled(
        rep.pixelSize().scaled(side, side, Qt::KeepAspectRatio), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage waitFor(ThumbnailProvider &provider, const QObject *requester, QUuid id, const PlatformImage &image,
    double points, qreal ratio)
{
    QSignalSpy ready(&provider, &ThumbnailProvider::ready);
    const QImage at = provider.request(requester, id, image, points, ratio);
    if (!at.isNull())
        return at;
    if (!ready.wait(10000))
        return {};
    return provider.request(requester, id, image, points, ratio);
}

} // namespace

class TestThumbnailProvider : public QObject
{
    Q_OBJECT

private slots:
    void picturesMatchADirectDecode_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<double>("points");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSize>("pixels");

        const QByteArray icns = IcnsBuilder().add("ic07", png(128, 128)).add("ic08", png(256, 256)).build();
        QTest::newRow("ICNS at 1x") << icns << 128.0 << 1.0 << QSize(128, 128);
        // The 256-pixel element, not the 128-pixel one scaled up.
        QTest::newRow("ICNS at 2x") << icns << 128.0 << 2.0 << QSize(256, 256);
        QTest::newRow("ICNS scaled down") << icns << 48.0 << 1.5 << QSize(72, 72);
        QTest::newRow("wide PNG keeps its aspect ratio") << png(200, 100) << 50.0 << 1.0 << QSize(50, 25);
        // The 256-pixel element's pixels do not decode: the 128-pixel one stands in.
        QTest::newRow("damaged element falls back")
            << IcnsBuilder().add("ic07", png(128, 128)).add("ic08", damagedPng(256)).build() << 128.0 << 2.0
            << QSize(256, 256);
    }

    void picturesMatchADirectDecode()
    {
        QFETCH(QByteArray, file);
        QFETCH(double, points);
        QFETCH(qreal, ratio);
        QFETCH(QSize, pixels);

        ThumbnailProvider provider;
        QObject view;
        const PlatformImage image = imageOf(file);
        QList<QThread *> deliveredOn;
        connect(
            &provider, &ThumbnailProvider::ready, &provider,
            [&deliveredOn] { deliveredOn.append(QThread::currentThread()); }, Qt::DirectConnection);
        QVERIFY(provider.request(&view, QUuid::createUuid(), image, points, ratio).isNull());
        const QImage picture = waitFor(provider, &view, QUuid::createUuid(), image, points, ratio);
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), pixels);
        QCOMPARE(picture.devicePixelRatio(), ratio);
        QImage expected = directDecode(image, pixels.width());
        expected.setDevicePixelRatio(ratio);
        QCOMPARE(picture, expected);
        QVERIFY(!deliveredOn.isEmpty());
        for (QThread *thread : std::as_const(deliveredOn))
            QCOMPARE(thread, QThread::currentThread());
    }

    // Asks for the ids a view shows go first; asks it dropped by showing other ids never decode.
    void visibleFirstAndDroppedNeverDecode()
    {
        ThumbnailProvider provider(1);
        QObject list, grid;
        const QUuid hidden = QUuid::createUuid(), shown = QUuid::createUuid(), scrolledAway = QUuid::createUuid();
        const PlatformImage hiddenImage = imageOf(png(64, 64, Qt::red));
        const PlatformImage shownImage = imageOf(png(64, 64, Qt::green));
        const PlatformImage awayImage = imageOf(png(64, 64, Qt::blue));

        QList<QUuid> order;
        connect(
            &provider, &ThumbnailProvider::ready, &provider, [&order](const QObject *, QUuid id) { order.append(id); });
        QVERIFY(provider.request(&list, hidden, hiddenImage, 64, 1).isNull());
        QVERIFY(provider.request(&grid, scrolledAway, awayImage, 64, 1).isNull());
        QVERIFY(provider.request(&grid, shown, shownImage, 64, 1).isNull());
        provider.setVisible(&grid, { shown });
        // With one thread, asks are decoded one after another, so a marker asked for last comes
        // after any ask that was wrongly kept.
        QObject markers;
        const QUuid firstMarker = QUuid::createUuid(), secondMarker = QUuid::createUuid();
        QVERIFY(provider.request(&markers, firstMarker, imageOf(png(16, 16, Qt::black)), 16, 1).isNull());
        QTRY_VERIFY(order.contains(firstMarker));
        QCOMPARE(order, QList({ shown, hidden, firstMarker }));
        // Two pictures of 64 × 64 and the marker: the one scrolled away was never decoded.
        const qint64 picture = 64 * 64 * 4, marker = 16 * 16 * 4;
        QCOMPARE(provider.cachedBytes(), 2 * picture + marker);
        QVERIFY(!provider.request(&grid, shown, shownImage, 64, 1).isNull());

        // Cancelled and destroyed requesters drop theirs too.
        auto *closing = new QObject;
        QVERIFY(provider.request(closing, hidden, awayImage, 32, 1).isNull());
        QVERIFY(provider.request(&list, scrolledAway, awayImage, 48, 1).isNull());
        provider.cancel(&list);
        delete closing;
        QVERIFY(provider.request(&markers, secondMarker, imageOf(png(16, 16, Qt::white)), 16, 1).isNull());
        QTRY_VERIFY(order.contains(secondMarker));
        QCOMPARE(order, QList({ shown, hidden, firstMarker, secondMarker }));
        QCOMPARE(provider.cachedBytes(), 2 * picture + 2 * marker);
    }

    // A view keeps the pictures it shows and those about a screen either way; the rest form a
    // bounded remainder that drops what was left longest ago (in a scroll, the farthest) first.
    // A requester that never says what it shows keeps what it asked for until it goes.
    void keepsWhatViewsShowAndBoundsTheRest()
    {
        ThumbnailProvider provider(1);
        const qint64 picture = 32 * 32 * 4;
        provider.setMaxRemainderBytes(2 * picture);
        QObject grid;
        auto sidebar = std::make_unique<QObject>();
        QList<QUuid> ids;
        QList<PlatformImage> images;
        for (int i = 0; i < 10; ++i) {
            ids.append(QUuid::createUuid());
            images.append(imageOf(png(32, 32, QColor::fromHsv(i * 36, 200, 200))));
        }
        QSet<QUuid> arrived;
        connect(&provider, &ThumbnailProvider::ready, &provider,
            [&arrived](const QObject *, QUuid id) { arrived.insert(id); });
        const auto has = [&](int i) { return !provider.request(&grid, ids.at(i), images.at(i), 32, 1).isNull(); };
        // A view paints what it shows, then says what it shows and what lies either way of it.
        const auto show = [&](QList<int> shown, QList<int> nearby) {
            QList<QUuid> shownIDs, nearbyIDs;
            for (int i : shown) {
                provider.request(&grid, ids.at(i), images.at(i), 32, 1);
                shownIDs.append(ids.at(i));
            }
            for (int i : nearby)
                nearbyIDs.append(ids.at(i));
            provider.setVisible(&grid, shownIDs, nearbyIDs);
            for (int i : shown)
                QTRY_VERIFY(arrived.contains(ids.at(i)));
        };

        QVERIFY(provider.request(sidebar.get(), ids.at(9), images.at(9), 32, 1).isNull());
        QTRY_VERIFY(arrived.contains(ids.at(9)));
        show({ 0, 1 }, {});
        show({ 2, 3 }, { 0, 1 });
        // Scrolled on: 0 and 1 leave first, then 2 and 3, and the remainder holds two.
        show({ 4, 5 }, { 2, 3 });
        show({ 6, 7 }, { 4, 5 });
        QCOMPARE(provider.keptBytes(), 5 * picture);
        QCOMPARE(provider.cachedBytes(), 7 * picture);
        for (int i : { 2, 3, 4, 5, 6, 7 })
            QVERIFY2(has(i), qPrintable(QString::number(i)));
        for (int i : { 0, 1 })
            QVERIFY2(!has(i), qPrintable(QString::number(i)));
        QVERIFY(!provider.request(sidebar.get(), ids.at(9), images.at(9), 32, 1).isNull());

        // Once nobody keeps them, every picture joins the remainder, which stays within its bound.
        provider.cancel(&grid);
        sidebar.reset();
        QCOMPARE(provider.keptBytes(), qint64(0));
        QCOMPARE(provider.cachedBytes(), 2 * picture);
    }

    // Pictures are kept by what the file holds, so a library read again finds them at once.
    void aReloadFindsThePicturesAgain()
    {
        ThumbnailProvider provider;
        QObject view;
        const QByteArray file = png(64, 64);
        const auto icon = [&file] {
            return Icon { .id = QUuid::createUuid(),
                .containerID = QUuid::createUuid(),
                .name = QStringLiteral("Icon"),
                .type = IconFileType::image,
                .imageData = QByteArray(file.constData(), file.size()) };
        };
        const Icon before = icon();
        QSignalSpy ready(&provider, &ThumbnailProvider::ready);
        QVERIFY(provider.request(&view, before, 32, 2).isNull());
        QVERIFY(ready.wait(10000));
        const QImage picture = provider.request(&view, before, 32, 2);
        QVERIFY(!picture.isNull());

        const Icon after = icon();
        QCOMPARE(provider.request(&view, after, 32, 2).constBits(), picture.constBits());
        QVERIFY(!ready.wait(100));
        QCOMPARE(ready.size(), 1);
    }

    void undecodableGivesNothing()
    {
        ThumbnailProvider provider;
        QObject view;
        const PlatformImage image = imageOf(damagedPng(64));
        QSignalSpy ready(&provider, &ThumbnailProvider::ready);
        QVERIFY(provider.request(&view, QUuid(), image, 64, 1).isNull());
        QVERIFY(ready.wait(10000));
        QVERIFY(provider.request(&view, QUuid(), image, 64, 1).isNull());
        QVERIFY(!ready.wait(100));
        QVERIFY(provider.request(&view, QUuid(), PlatformImage(), 64, 1).isNull());
        QVERIFY(provider.request(&view, QUuid(), image, qQNaN(), 1).isNull());
    }
};

QTEST_GUILESS_MAIN(TestThumbnailProvider)
#include "tst_thumbnailprovider.moc"
