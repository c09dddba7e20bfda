// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/iconcontainer.h"
#include "model/iconenums.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Icon makeIcon(IconFileType type, std::optional<QByteArray> icns, std::optional<QByteArray> image)
{
    return Icon { .id = QUuid::createUuid(),
        .containerID = QUuid::createUuid(),
        .name = u"Star"_s,
        .type = type,
        .icnsData = std::move(icns),
        .imageData = std::move(image),
        .author = u"Ann Lee"_s,
        .copyright = u"© 2024 Lee Works"_s,
        .authorURL = u"https://example.org/ann"_s };
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void containerDefaults()
    {
        const IconContainer a;
        const IconContainer b;
        QCOMPARE(a.title, u"Icon Container"_s);
        QCOMPARE(a.collectionVersion, u"1.0"_s);
        QCOMPARE(a.containerVersion, 4);
        QVERIFY(a.collectionID.isEmpty() && a.authorName.isEmpty() && a.copyright.isEmpty());
        QVERIFY(!a.authoringLock);
        QVERIFY(!a.backgroundColor);
        QVERIFY(!a.customIcon);
        QVERIFY(a.icons.isEmpty());
        QVERIFY(!a.id.isNull());
        QVERIFY(a.id != b.id);
    }

    void iconStoresTheFieldsItIsGiven()
    {
        const QUuid id = QUuid::createUuid();
        const QUuid containerID = QUuid::createUuid();
        const Icon icon { .id = id,
            .containerID = containerID,
            .name = u"Moon"_s,
            .type = IconFileType::image,
            .imageData = "png"_ba,
            .author = u"A"_s,
            .copyright = u"C"_s,
            .authorURL = u"U"_s,
            .filename = u"Moon.png"_s };
        QCOMPARE(icon.id, id);
        QCOMPARE(icon.containerID, containerID);
        QCOMPARE(icon.name, u"Moon"_s);
        QCOMPARE(icon.type, IconFileType::image);
        QVERIFY(!icon.icnsData);
        QCOMPARE(icon.imageData, std::optional("png"_ba));
        QCOMPARE(icon.author, u"A"_s);
        QCOMPARE(icon.copyright, u"C"_s);
        QCOMPARE(icon.authorURL, u"U"_s);
        QCOMPARE(icon.filename, std::optional(u"Moon.png"_s));
    }

    void matches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("empty text matches") << QString() << true;
        QTest::newRow("name") << u"sta"_s << true;
        QTest::newRow("name in other case") << u"STAR"_s << true;
        QTest::newRow("author in other case") << u"ann LEE"_s << true;
        QTest::newRow("author URL") << u"example.org"_s << true;
        QTest::newRow("copyright") << u"lee works"_s << true;
        QTest::newRow("no field") << u"planet"_s << false;
        QTest::newRow("across fields is no match") << u"star ann"_s << false;
    }

    void matches()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(makeIcon(IconFileType::icns, "i"_ba, std::nullopt).matches(text), expected);
    }

    void matchesCanonicallyEquivalentText()
    {
        Icon icon = makeIcon(IconFileType::icns, "i"_ba, std::nullopt);
        icon.name = u"Cafe\u0301"_s; // decomposed, as file names from some systems are
        QVERIFY(icon.matches(u"caf\u00e9"_s));
    }

    void primaryData_data()
    {
        QTest::addColumn<IconFileType>("type");
        QTest::addColumn<std::optional<QByteArray>>("icns");
        QTest::addColumn<std::optional<QByteArray>>("image");
        QTest::addColumn<QByteArray>("expected");
        const std::optional<QByteArray> none;
        const std::optional<QByteArray> icns = "icns-bytes"_ba;
        const std::optional<QByteArray> image = "png-bytes"_ba;
        QTest::newRow("icns with both") << IconFileType::icns << icns << image << "icns-bytes"_ba;
        QTest::newRow("icns falls back to image") << IconFileType::icns << none << image << "png-bytes"_ba;
        QTest::newRow("icns with nothing") << IconFileType::icns << none << none << QByteArray();
        QTest::newRow("image with both") << IconFileType::image << icns << image << "png-bytes"_ba;
        QTest::newRow("image never falls back") << IconFileType::image << icns << none << QByteArray();
    }

    void primaryData()
    {
        QFETCH(IconFileType, type);
        QFETCH(std::optional<QByteArray>, icns);
        QFETCH(std::optional<QByteArray>, image);
        QFETCH(QByteArray, expected);
        QCOMPARE(makeIcon(type, icns, image).primaryData(), expected);
    }

    void iconSizes()
    {
        QStringList ids;
        for (IconSize size : allIconSizes) {
            ids << iconSizeId(size);
            QCOMPARE(pointSize(size), double(rawValue(size)));
            QCOMPARE(iconSizeFromRawValue(rawValue(size)), std::optional(size));
        }
        QCOMPARE(ids, QStringList({ u"16"_s, u"32"_s, u"64"_s, u"128"_s, u"256"_s, u"512"_s }));
        for (int other : { 0, 15, 17, 100, 1024, -16 })
            QVERIFY(!iconSizeFromRawValue(other));
    }

    void rawValues()
    {
        QCOMPARE(rawValue(IconFileType::icns), u"icns"_s);
        QCOMPARE(rawValue(IconFileType::image), u"image"_s);
        QCOMPARE(rawValue(SidebarIconSize::defaultSize), u"default"_s);
        QCOMPARE(allCases<ListIconSize>(),
            (std::array { ListIconSize::small, ListIconSize::defaultSize, ListIconSize::large }));
        QCOMPARE(allCases<SidebarIconSize>(), (std::array { SidebarIconSize::defaultSize, SidebarIconSize::small }));
        QCOMPARE(fromRawValue<GalleryIconSize>(u"large"), std::optional(GalleryIconSize::large));
        // Only the exact raw value is taken.
        QVERIFY(!fromRawValue<IconFileType>(u"ICNS"));
        QVERIFY(!fromRawValue<IconFileType>(u"png"));
        QVERIFY(!fromRawValue<ListIconSize>(u"defaultSize"));
    }

    void titles()
    {
        QCOMPARE(title(SidebarIconSize::defaultSize), u"Default"_s);
        QCOMPARE(title(SidebarIconSize::small), u"Small"_s);
        QCOMPARE(title(ListIconSize::large), u"Large"_s);
        QCOMPARE(title(GalleryIconSize::defaultSize), u"Default"_s);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
