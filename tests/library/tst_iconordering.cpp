// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/iconordering.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(IconOrderKey)

namespace {

// "name" or "name|file name".
QList<Icon> makeIcons(const QStringList &descriptions)
{
    QList<Icon> icons;
    for (const QString &description : descriptions) {
        const QStringList parts = description.split(u'|');
        icons.append(Icon { .id = QUuid::createUuid(),
            .name = parts.at(0),
            .type = IconFileType::icns,
            .icnsData = "x"_ba,
            .filename = parts.size() > 1 ? std::optional(parts.at(1)) : std::nullopt });
    }
    return icons;
}

} // namespace

class TestIconOrdering : public QObject
{
    Q_OBJECT

private slots:
    void order_data()
    {
        QTest::addColumn<QStringList>("icons");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<IconOrderKey>("key");
        QTest::addColumn<QList<int>>("expected"); // input indexes, in the resulting order

        const auto byName = IconOrderKey::name;
        const auto byFile = IconOrderKey::fileNameOrName;
        const QStringList abc { u"a"_s, u"b"_s, u"c"_s };
        QTest::newRow("empty list keeps order") << abc << QStringList() << byName << QList { 0, 1, 2 };
        QTest::newRow("no icons") << QStringList() << abc << byName << QList<int>();
        QTest::newRow("one icon") << QStringList { u"z"_s } << abc << byName << QList { 0 };
        QTest::newRow("reverse") << abc << QStringList { u"c"_s, u"b"_s, u"a"_s } << byName << QList { 2, 1, 0 };
        QTest::newRow("some named, rest in input order") << QStringList { u"a"_s, u"b"_s, u"c"_s, u"d"_s }
                                                         << QStringList { u"c"_s } << byName << QList { 2, 0, 1, 3 };
        QTest::newRow("first index counts")
            << QStringList { u"a"_s, u"b"_s } << QStringList { u"b"_s, u"a"_s, u"b"_s } << byName << QList { 1, 0 };
        QTest::newRow("shared key stays together in input order")
            << QStringList { u"s"_s, u"m"_s, u"s"_s } << QStringList { u"s"_s, u"m"_s } << byName << QList { 0, 2, 1 };
        QTest::newRow("letter case differs, unlisted")
            << QStringList { u"star"_s, u"moon"_s } << QStringList { u"Star"_s, u"moon"_s } << byName << QList { 1, 0 };
        QTest::newRow("no trimming") << QStringList { u"a "_s, u"b"_s } << QStringList { u"a"_s, u"b"_s } << byName
                                     << QList { 1, 0 };
        QTest::newRow("canonically equivalent is equal")
            << QStringList { u"x"_s, u"Cafe\u0301"_s } << QStringList { u"Caf\u00e9"_s } << byName << QList { 1, 0 };
        // Each form has an entry of its own and takes its place, not the first equivalent one.
        const QString nfc = u"\u00e9t\u00e9"_s, nfd = u"e\u0301te\u0301"_s;
        QTest::newRow("NFC, Zed, NFD listed; files listed NFD, NFC, Zed")
            << QStringList { nfd, nfc, u"Zed"_s } << QStringList { nfc, u"Zed"_s, nfd } << byName << QList { 1, 2, 0 };
        QTest::newRow("NFD listed first")
            << QStringList { nfc, nfd } << QStringList { nfd, nfc } << byName << QList { 1, 0 };
        QTest::newRow("equivalent forms apart around a later key")
            << QStringList { nfd, u"b"_s, nfc } << QStringList { nfc, u"b"_s, nfd } << byName << QList { 2, 1, 0 };
        // Neither entry is spelled like the icon: it takes the first one left.
        const QString composed = u"\u1ead"_s, decomposed = u"a\u0323\u0302"_s, unordered = u"a\u0302\u0323"_s;
        QTest::newRow("third form takes the entry left over")
            << QStringList { unordered, composed, u"b"_s } << QStringList { composed, u"b"_s, decomposed } << byName
            << QList { 1, 2, 0 };
        QTest::newRow("only other form listed: both share its entry")
            << QStringList { u"x"_s, nfc, nfd } << QStringList { nfc, u"x"_s } << byName << QList { 1, 2, 0 };
        QTest::newRow("equivalent files, one entry in NFD")
            << QStringList { u"a|"_s + nfc + u".png"_s, u"b|"_s + nfd + u".png"_s } << QStringList { nfd + u".png"_s }
            << byFile << QList { 0, 1 };
        QTest::newRow("folder road: file name places the icon")
            << QStringList { u"a|a.icns"_s, u"Star|b.png"_s } << QStringList { u"b.png"_s, u"a.icns"_s } << byFile
            << QList { 1, 0 };
        QTest::newRow("folder road: name not tried when file name is present")
            << QStringList { u"a|a.icns"_s, u"Star|Other.icns"_s } << QStringList { u"Star"_s, u"a.icns"_s } << byFile
            << QList { 0, 1 };
        QTest::newRow("folder road: name used without file name")
            << QStringList { u"a|a.icns"_s, u"Star"_s } << QStringList { u"Star"_s } << byFile << QList { 1, 0 };
        QTest::newRow("archive road: file name ignored")
            << QStringList { u"a|b"_s, u"b|a"_s } << QStringList { u"b"_s, u"a"_s } << byName << QList { 1, 0 };
    }

    void order()
    {
        QFETCH(QStringList, icons);
        QFETCH(QStringList, order);
        QFETCH(IconOrderKey, key);
        QFETCH(QList<int>, expected);
        const QList<Icon> input = makeIcons(icons);
        QList<Icon> ordered = input;
        orderIcons(ordered, order, key);
        QList<int> actual;
        for (const Icon &icon : ordered) {
            const auto it = std::find_if(
                input.cbegin(), input.cend(), [&icon](const Icon &candidate) { return candidate.id == icon.id; });
            actual << int(it - input.cbegin());
        }
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(TestIconOrdering)
#include "tst_iconordering.moc"
