// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/iconcontainer.h"
#include "model/iconenums.h"
#include "model/iconsearchkey.h"

#include <QLocale>

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

// The search rule as first written: every field folded again for every text.
bool foldedEverywhere(const Icon &icon, const QString &text)
{
    if (text.isEmpty())
        return true;
    const QLocale locale;
    const QString needle = locale.toLower(text).normalized(QString::NormalizationForm_C);
    for (const QString *field : { &icon.name, &icon.author, &icon.authorURL, &icon.copyright }) {
        if (locale.toLower(*field).normalized(QString::NormalizationForm_C).contains(needle))
            return true;
    }
    return false;
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

    // Keys folded once answer as folding every field for every text did.
    void searchKeyMatchesTheRule_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("text");

        const QString c = u"C"_s;
        QTest::newRow("empty text") << c << u"Star"_s << QString() << QString();
        QTest::newRow("case") << c << u"Star"_s << QString() << u"sTAR"_s;
        QTest::newRow("no match") << c << u"Star"_s << u"Ann"_s << u"moon"_s;
        QTest::newRow("empty fields") << c << QString() << QString() << u"a"_s;
        QTest::newRow("across two fields") << c << u"Star"_s << u"Ann"_s << u"starann"_s;
        QTest::newRow("decomposed field, composed text") << c << u"Café"_s << QString() << u"CAFÉ"_s;
        QTest::newRow("composed field, decomposed text") << c << u"Café"_s << QString() << u"café"_s;
        QTest::newRow("final sigma") << u"el_GR"_s << u"ΟΔΟΣ"_s << QString() << u"οδος"_s;
        QTest::newRow("final sigma mid-word") << u"el_GR"_s << u"ΟΔΟΣ"_s << QString() << u"οδοσ"_s;
        QTest::newRow("dotted capital I, Turkish") << u"tr_TR"_s << u"İSTANBUL"_s << QString() << u"istanbul"_s;
        QTest::newRow("dotless capital I, Turkish") << u"tr_TR"_s << u"ISPARTA"_s << QString() << u"isparta"_s;
        QTest::newRow("dotless capital I, English") << u"en_US"_s << u"ISPARTA"_s << QString() << u"isparta"_s;
        QTest::newRow("German sharp s") << u"de_DE"_s << u"STRASSE"_s << u"Straße"_s << u"straße"_s;
        // The character that joins the folded fields, in the text and in a field.
        QTest::newRow("joining character in the text") << c << u"Star"_s << u"Ann"_s << u"star￿ann"_s;
        QTest::newRow("joining character in a field") << c << u"a￿b"_s << QString() << u"￿b"_s;
        QTest::newRow("joining character alone") << c << u"Star"_s << QString() << u"￿"_s;
    }

    void searchKeyMatchesTheRule()
    {
        QFETCH(QString, locale);
        QFETCH(QString, name);
        QFETCH(QString, author);
        QFETCH(QString, text);

        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        Icon icon = makeIcon(IconFileType::icns, "i"_ba, std::nullopt);
        icon.name = name;
        icon.author = author;
        icon.authorURL.clear();
        icon.copyright.clear();
        const bool expected = foldedEverywhere(icon, text);
        const bool key = IconSearchKey(icon).matches(IconSearchKey::folded(text));
        const bool matches = icon.matches(text);
        QLocale::setDefault(before);
        QCOMPARE(key, expected);
        QCOMPARE(matches, expected);
    }

    // A key tells an edited icon from the one it was made of, so that its keeper makes it again.
    void searchKeyDescribesItsIcon()
    {
        Icon icon = makeIcon(IconFileType::icns, "i"_ba, std::nullopt);
        const IconSearchKey key(icon);
        QVERIFY(key.describes(icon));
        const Icon copy = icon;
        QVERIFY(key.describes(copy));
        for (QString Icon::*field : { &Icon::name, &Icon::author, &Icon::authorURL, &Icon::copyright }) {
            Icon edited = icon;
            (edited.*field)[0] = u'x';
            QVERIFY(!key.describes(edited));
            edited.*field = icon.*field;
            QVERIFY(key.describes(edited));
        }
        Icon cleared = icon;
        cleared.copyright.clear();
        QVERIFY(!key.describes(cleared));
        QVERIFY(IconSearchKey(cleared).describes(cleared));
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
