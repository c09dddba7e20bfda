// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/containerjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// A valid document with every key, and one icon with a file name.
QJsonObject validDocument()
{
    const QJsonObject icon {
        { u"name"_s, u"Star"_s },
        { u"type"_s, u"icns"_s },
        { u"author"_s, u"Ann"_s },
        { u"copyright"_s, u"© Ann"_s },
        { u"authorURL"_s, u"https://example.org"_s },
        { u"filename"_s, u"Star.icns"_s },
    };
    const QJsonObject color { { u"red"_s, 1 }, { u"green"_s, 0.5 }, { u"blue"_s, 0 }, { u"alpha"_s, 1 } };
    return QJsonObject {
        { u"title"_s, u"Space"_s },
        { u"collectionID"_s, u"space-set"_s },
        { u"collectionVersion"_s, u"2.1"_s },
        { u"authorName"_s, u"Ann"_s },
        { u"authorURL"_s, u"https://example.org"_s },
        { u"authorEmail"_s, u"ann@example.org"_s },
        { u"authoringLock"_s, true },
        { u"backgroundColor"_s, color },
        { u"containerVersion"_s, 4 },
        { u"copyright"_s, u"© Ann"_s },
        { u"customIcon"_s, u"iVBORw0KGgo="_s },
        { u"icons"_s, QJsonArray { icon } },
    };
}

QByteArray bytes(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// The valid document with one change made to it.
QByteArray changed(const std::function<void(QJsonObject &)> &change)
{
    QJsonObject object = validDocument();
    change(object);
    return bytes(object);
}

QByteArray changedIcon(const std::function<void(QJsonObject &)> &change)
{
    return changed([&](QJsonObject &document) {
        QJsonArray icons = document[u"icons"_s].toArray();
        QJsonObject icon = icons.at(0).toObject();
        change(icon);
        icons[0] = icon;
        document[u"icons"_s] = icons;
    });
}

QByteArray withValue(const QString &key, const QJsonValue &value)
{
    return changed([&](QJsonObject &document) { document[key] = value; });
}

QByteArray withIconValue(const QString &key, const QJsonValue &value)
{
    return changedIcon([&](QJsonObject &icon) { icon[key] = value; });
}

IconContainer fullContainer()
{
    IconContainer container {
        .title = u"Weltraum – Ünïcode ✨"_s,
        .collectionID = u"space-set"_s,
        .collectionVersion = u"2.1"_s,
        .authorName = u"Ann"_s,
        .authorURL = u"https://example.org"_s,
        .authorEmail = u"ann@example.org"_s,
        .authoringLock = true,
        .backgroundColor = RGBAColor { 0.1, 1.0 / 3.0, 0, 0.75 },
        .containerVersion = 255,
        .copyright = u"© 2024 \"Ann\"\n"_s,
        .customIcon = QByteArray("\x00\xff\x89PNG\r\n", 7),
    };
    container.icons = {
        Icon { .id = QUuid::createUuid(),
            .containerID = container.id,
            .name = u"Star"_s,
            .type = IconFileType::icns,
            .icnsData = "icns"_ba,
            .author = u"A1"_s,
            .copyright = u"C1"_s,
            .authorURL = u"U1"_s,
            .filename = u"Star.icns"_s },
        Icon { .id = QUuid::createUuid(),
            .containerID = container.id,
            .name = u"Moon"_s,
            .type = IconFileType::image,
            .imageData = "png"_ba,
            .author = u"A2"_s,
            .copyright = u"C2"_s,
            .authorURL = u"U2"_s },
    };
    return container;
}

} // namespace

class TestContainerJson : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsEveryStoredField()
    {
        const IconContainer original = fullContainer();
        const auto encoded = encodeContainerJson(original);
        QVERIFY(encoded);
        const auto decoded = decodeContainerJson(encoded.value());
        QVERIFY2(decoded, qPrintable(decoded ? QString() : decoded.error()));
        const IconContainer &c = decoded.value();

        QCOMPARE(c.title, original.title);
        QCOMPARE(c.collectionID, original.collectionID);
        QCOMPARE(c.collectionVersion, original.collectionVersion);
        QCOMPARE(c.authorName, original.authorName);
        QCOMPARE(c.authorURL, original.authorURL);
        QCOMPARE(c.authorEmail, original.authorEmail);
        QCOMPARE(c.authoringLock, original.authoringLock);
        QVERIFY(c.backgroundColor);
        QCOMPARE(c.backgroundColor->red, 0.1);
        QCOMPARE(c.backgroundColor->green, 1.0 / 3.0); // exact: shortest round-trip digits
        QCOMPARE(c.backgroundColor->blue, 0.0);
        QCOMPARE(c.backgroundColor->alpha, 0.75);
        QCOMPARE(c.containerVersion, 255);
        QCOMPARE(c.copyright, original.copyright);
        QCOMPARE(c.customIcon, original.customIcon);
        QCOMPARE(c.icons.size(), 2);
        for (qsizetype i = 0; i < 2; ++i) {
            const Icon &icon = c.icons.at(i);
            const Icon &before = original.icons.at(i);
            QCOMPARE(icon.name, before.name);
            QCOMPARE(icon.type, before.type);
            QCOMPARE(icon.author, before.author);
            QCOMPARE(icon.copyright, before.copyright);
            QCOMPARE(icon.authorURL, before.authorURL);
            QCOMPARE(icon.filename, before.filename);
            // Data lives in the folder's files, never in the document.
            QVERIFY(!icon.icnsData);
            QVERIFY(!icon.imageData);
            QVERIFY(icon.previewReps().isEmpty());
        }
    }

    void encodingLeavesOutAbsentOptionals()
    {
        IconContainer container;
        container.icons = { Icon { .id = QUuid::createUuid(),
            .containerID = container.id,
            .name = u"Star"_s,
            .type = IconFileType::icns,
            .icnsData = "x"_ba } };
        const auto encoded = encodeContainerJson(container);
        QVERIFY(encoded);
        const QJsonObject object = QJsonDocument::fromJson(encoded.value()).object();
        QVERIFY(!object.contains(u"backgroundColor"_s));
        QVERIFY(!object.contains(u"customIcon"_s));
        const QJsonObject icon = object[u"icons"_s].toArray().at(0).toObject();
        QVERIFY(!icon.contains(u"filename"_s));
        QCOMPARE(QStringList(icon.keys()),
            QStringList({ u"author"_s, u"authorURL"_s, u"copyright"_s, u"name"_s, u"type"_s }));
        QCOMPARE(object.keys().size(), 10);
        // An integer in the text, not 4.0; and nothing that identifies the run.
        QVERIFY(encoded.value().contains("\"containerVersion\":4,"));
        QVERIFY(!encoded.value().contains(container.id.toString(QUuid::WithoutBraces).toLatin1()));
    }

    void decodeAccepts_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("every key") << bytes(validDocument());
        QTest::newRow("optional keys absent") << changed([](QJsonObject &d) {
            d.remove(u"backgroundColor"_s);
            d.remove(u"customIcon"_s);
        });
        QTest::newRow("extra top-level key") << withValue(u"favourite"_s, QJsonObject { { u"x"_s, 1 } });
        QTest::newRow("extra icon key") << withIconValue(u"rating"_s, 5);
        QTest::newRow("extra colour key") << changed([](QJsonObject &d) {
            QJsonObject color = d[u"backgroundColor"_s].toObject();
            color[u"space"_s] = u"P3"_s;
            d[u"backgroundColor"_s] = color;
        });
        QTest::newRow("null background colour") << withValue(u"backgroundColor"_s, QJsonValue::Null);
        QTest::newRow("null custom icon") << withValue(u"customIcon"_s, QJsonValue::Null);
        QTest::newRow("null file name") << withIconValue(u"filename"_s, QJsonValue::Null);
        QTest::newRow("empty custom icon") << withValue(u"customIcon"_s, u""_s);
        QTest::newRow("no icons") << withValue(u"icons"_s, QJsonArray());
        QTest::newRow("version 0") << withValue(u"containerVersion"_s, 0);
        QTest::newRow("version 4.0") << QByteArray(
            bytes(validDocument()).replace("\"containerVersion\":4", "\"containerVersion\":4.0"));
    }

    // The one-pass reader takes what this program writes, and gives up on whatever it cannot be
    // sure of; where it takes a document, the full reader gives the same container.
    void scannerAgreesWithDocument_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("scanned");
        const QByteArray valid = bytes(validDocument());
        const auto replaced = [&](const char *from, const QByteArray &to) {
            QByteArray document = valid;
            const qsizetype at = document.indexOf(from);
            return at < 0 ? QByteArray() : document.replace(at, qsizetype(qstrlen(from)), to);
        };
        const auto withTitle = [&](const QByteArray &title) { return replaced("\"Space\"", title); };
        QTest::newRow("written") << valid << true;
        QTest::newRow("written, every kind of field") << encodeContainerJson(fullContainer()).value() << true;
        QTest::newRow("spaced out") << QByteArray(QJsonDocument(validDocument()).toJson(QJsonDocument::Indented))
                                    << true;
        QTest::newRow("escapes") << withTitle("\"a\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\"") << true;
        QTest::newRow("UTF-8 of every length") << withTitle("\"\xc3\xa9\xe2\x9c\xa8\xf0\x9f\x98\x80\"") << true;
        QTest::newRow("noncharacter") << withTitle("\"\xef\xbf\xbe\"") << true;
        QTest::newRow("nulls") << replaced("\"customIcon\":\"iVBORw0KGgo=\"", "\"customIcon\":null") << true;
        QTest::newRow("unknown nested values")
            << replaced("{", "{\"extra\":[{\"a\":[1,-2.5e3,true,false,null,\"x\\u0041\"]},{}],") << true;
        QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf" + valid) << false;
        QTest::newRow("control character") << withTitle("\"a\x01\"") << false;
        QTest::newRow("unknown escape") << withTitle("\"\\x\"") << false;
        QTest::newRow("lone surrogate") << withTitle("\"\\ud800\"") << false;
        QTest::newRow("reversed surrogates") << withTitle("\"\\udc00\\ud800\"") << false;
        QTest::newRow("short escape") << withTitle("\"\\u12\"") << false;
        QTest::newRow("overlong UTF-8") << withTitle("\"\xc0\x80\"") << false;
        QTest::newRow("encoded surrogate") << withTitle("\"\xed\xa0\x80\"") << false;
        QTest::newRow("past U+10FFFF") << withTitle("\"\xf4\x90\x80\x80\"") << false;
        QTest::newRow("truncated UTF-8") << withTitle("\"\xc3\"") << false;
        QTest::newRow("duplicate key") << replaced("{", "{\"title\":\"First\",") << false;
        QTest::newRow("escaped key") << replaced("\"title\"", "\"t\\u0069tle\"") << false;
        QTest::newRow("negative zero") << replaced("\"containerVersion\":4", "\"containerVersion\":-0") << false;
        QTest::newRow("zero by underflow") << replaced("\"blue\":0", "\"blue\":1e-400") << false;
        QTest::newRow("subnormal") << replaced("\"blue\":0", "\"blue\":5e-324") << false;
        QTest::newRow("overflow") << replaced("\"blue\":0", "\"blue\":1e400") << false;
        QTest::newRow("bare fraction point") << replaced("\"containerVersion\":4", "\"containerVersion\":4.") << false;
        QTest::newRow("bare leading point") << replaced("\"blue\":0", "\"blue\":.5") << false;
        QTest::newRow("point before exponent") << replaced("\"blue\":0", "\"blue\":1.e5") << false;
        QTest::newRow("hex escape") << withTitle("\"\\x41\"") << false;
        QTest::newRow("byte-order mark in a key") << replaced("\"title\"", "\"\xef\xbb\xbftitle\"") << false;
        QTest::newRow("leading zero") << replaced("\"containerVersion\":4", "\"containerVersion\":04") << false;
        QTest::newRow("plus sign") << replaced("\"containerVersion\":4", "\"containerVersion\":+4") << false;
        QTest::newRow("trailing comma") << replaced("{", "{\"extra\":[1,],") << false;
        QTest::newRow("garbage after") << QByteArray(valid + " x") << false;
        QTest::newRow("form feed after") << QByteArray(valid + "\x0c") << false;
        QTest::newRow("deep nesting") << replaced(
            "{", "{\"extra\":" + QByteArray(100, '[') + QByteArray(100, ']') + ",")
                                      << false;
        QTest::newRow("missing key") << replaced("\"authoringLock\":true,", "") << false;
        QTest::newRow("wrong type") << replaced("\"authoringLock\":true", "\"authoringLock\":1") << false;
        QTest::newRow("not an object") << QByteArray("[]") << false;
        QTest::newRow("empty") << QByteArray("") << false;
    }

    void scannerAgreesWithDocument()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, scanned);
        QVERIFY(!document.isNull());
        const std::optional<IconContainer> scan = scanContainerJson(document);
        QCOMPARE(scan.has_value(), scanned);
        const auto full = decodeContainerJsonDocument(document);
        if (scan) {
            QVERIFY2(full, qPrintable(full ? QString() : full.error()));
            QCOMPARE(encodeContainerJson(*scan).value(), encodeContainerJson(full.value()).value());
        }
        // Whichever reads it, the decoder's verdict is the full reader's.
        const auto decoded = decodeContainerJson(document);
        QCOMPARE(bool(decoded), bool(full));
        if (!full)
            QCOMPARE(decoded.error(), full.error());
    }

    void decodeAccepts()
    {
        QFETCH(QByteArray, document);
        const auto decoded = decodeContainerJson(document);
        QVERIFY2(decoded, qPrintable(decoded ? QString() : decoded.error()));
    }

    void extraKeysChangeNothing()
    {
        const auto plain = decodeContainerJson(bytes(validDocument()));
        const auto extra = decodeContainerJson(changed([](QJsonObject &d) {
            d[u"title2"_s] = u"Other"_s;
            QJsonArray icons = d[u"icons"_s].toArray();
            QJsonObject icon = icons.at(0).toObject();
            icon[u"Name"_s] = u"Other"_s;
            icons[0] = icon;
            d[u"icons"_s] = icons;
        }));
        QVERIFY(plain && extra);
        QCOMPARE(extra.value().title, plain.value().title);
        QCOMPARE(extra.value().icons.at(0).name, plain.value().icons.at(0).name);
    }

    void nullOrAbsentOptionalsGiveNone()
    {
        const auto decoded = decodeContainerJson(changed([](QJsonObject &d) {
            d[u"backgroundColor"_s] = QJsonValue::Null;
            d.remove(u"customIcon"_s);
            QJsonArray icons = d[u"icons"_s].toArray();
            QJsonObject icon = icons.at(0).toObject();
            icon[u"filename"_s] = QJsonValue::Null;
            icons[0] = icon;
            d[u"icons"_s] = icons;
        }));
        QVERIFY(decoded);
        QVERIFY(!decoded.value().backgroundColor);
        QVERIFY(!decoded.value().customIcon);
        QVERIFY(!decoded.value().icons.at(0).filename);
    }

    void decodeRejects_data()
    {
        QTest::addColumn<QByteArray>("document");
        for (const QString &key : validDocument().keys()) {
            if (key != u"backgroundColor" && key != u"customIcon")
                QTest::addRow("missing %s", qPrintable(key)) << changed([&](QJsonObject &d) { d.remove(key); });
        }
        for (const QString &key : { u"name"_s, u"type"_s, u"author"_s, u"copyright"_s, u"authorURL"_s }) {
            QTest::addRow("icon missing %s", qPrintable(key))
                << changedIcon([&](QJsonObject &icon) { icon.remove(key); });
        }
        for (const QString &key : { u"red"_s, u"green"_s, u"blue"_s, u"alpha"_s }) {
            QTest::addRow("colour missing %s", qPrintable(key)) << changed([&](QJsonObject &d) {
                QJsonObject color = d[u"backgroundColor"_s].toObject();
                color.remove(key);
                d[u"backgroundColor"_s] = color;
            });
        }
        QTest::newRow("title a number") << withValue(u"title"_s, 5);
        QTest::newRow("title null") << withValue(u"title"_s, QJsonValue::Null);
        QTest::newRow("lock as text") << withValue(u"authoringLock"_s, u"true"_s);
        QTest::newRow("lock as number") << withValue(u"authoringLock"_s, 1);
        QTest::newRow("icons an object") << withValue(u"icons"_s, QJsonObject());
        QTest::newRow("icon not an object") << withValue(u"icons"_s, QJsonArray { u"Star"_s });
        QTest::newRow("colour an array") << withValue(u"backgroundColor"_s, QJsonArray { 1, 0, 0, 1 });
        QTest::newRow("colour component as text") << changed([](QJsonObject &d) {
            QJsonObject color = d[u"backgroundColor"_s].toObject();
            color[u"red"_s] = u"1"_s;
            d[u"backgroundColor"_s] = color;
        });
        QTest::newRow("colour component beyond double")
            << QByteArray(bytes(validDocument()).replace("\"alpha\":1", "\"alpha\":1e999"));
        QTest::newRow("file name a number") << withIconValue(u"filename"_s, 7);
        QTest::newRow("type in capitals") << withIconValue(u"type"_s, u"ICNS"_s);
        QTest::newRow("type an extension") << withIconValue(u"type"_s, u"png"_s);
        QTest::newRow("type empty") << withIconValue(u"type"_s, u""_s);
        QTest::newRow("version 256") << withValue(u"containerVersion"_s, 256);
        QTest::newRow("version 4.5") << withValue(u"containerVersion"_s, 4.5);
        QTest::newRow("version -1") << withValue(u"containerVersion"_s, -1);
        QTest::newRow("version as text") << withValue(u"containerVersion"_s, u"4"_s);
        QTest::newRow("version huge") << withValue(u"containerVersion"_s, 1e300);
        QTest::newRow("base64 unpadded") << withValue(u"customIcon"_s, u"iVBORw0KGgo"_s);
        QTest::newRow("base64 url alphabet") << withValue(u"customIcon"_s, u"iVBO-w0_Ggo="_s);
        QTest::newRow("base64 inner padding") << withValue(u"customIcon"_s, u"iV=ORw0KGgo="_s);
        QTest::newRow("base64 three pads") << withValue(u"customIcon"_s, u"iVBORw0KG==="_s);
        QTest::newRow("base64 whitespace") << withValue(u"customIcon"_s, u"iVBO Rw0KGgo="_s);
        QTest::newRow("base64 non-ASCII") << withValue(u"customIcon"_s, u"iVBORw0KGgé="_s);
        QTest::newRow("base64 a number") << withValue(u"customIcon"_s, 12);
        const QByteArray valid = bytes(validDocument());
        QTest::newRow("hex escape") << QByteArray(valid).replace("\"Space\"", "\"\\x41\"");
        QTest::newRow("bell escape") << QByteArray(valid).replace("\"Space\"", "\"\\a\"");
        QTest::newRow("number ending in a point") << QByteArray(valid).replace("\"blue\":0", "\"blue\":1.");
        QTest::newRow("number starting with a point") << QByteArray(valid).replace("\"blue\":0", "\"blue\":.5");
        QTest::newRow("key after a byte-order mark") << QByteArray(valid).replace("\"title\"", "\"\xef\xbb\xbftitle\"");
        QTest::newRow("raw line break in a string") << QByteArray(valid).replace("\"Space\"", "\"Spa\nce\"");
        QTest::newRow("raw NUL in a key") << QByteArray(valid).replace("\"title\"", QByteArray("\"ti\0tle\"", 8));
        QTest::newRow("not JSON") << "title: Space"_ba;
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << bytes(validDocument()).chopped(2);
        QTest::newRow("top level an array") << "[]"_ba;
        QTest::newRow("top level a string") << "\"Space\""_ba;
        QTest::newRow("deep nesting") << QByteArray(5000, '[') + QByteArray(5000, ']');
    }

    void decodeRejects()
    {
        QFETCH(QByteArray, document);
        const auto decoded = decodeContainerJson(document);
        QVERIFY(!decoded);
        QVERIFY(!decoded.error().isEmpty());
        QVERIFY(!decoded.error().contains(u'\n'));
    }

    void messageSaysWhere()
    {
        const auto decoded = decodeContainerJson(withIconValue(u"type"_s, u"ICNS"_s));
        QVERIFY(!decoded);
        QVERIFY2(decoded.error().contains(u"icons[0].type"), qPrintable(decoded.error()));
    }

    // Text that Qt's reader would take but that is not JSON fails with the reader's own words; an
    // offset after a U+FEFF that the reader saw escaped still counts the bytes of the text.
    void notJsonSaysWhy_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("message");
        const QByteArray valid = bytes(validDocument());
        const auto replaced = [&](const char *from, const char *to) { return QByteArray(valid).replace(from, to); };
        QTest::newRow("hex escape") << replaced("\"Space\"", "\"\\x41\"")
                                    << u"invalid escape sequence at offset %1"_s.arg(valid.indexOf("\"Space\"") + 1);
        QTest::newRow("number ending in a point")
            << replaced("\"containerVersion\":4", "\"containerVersion\":4.")
            << u"illegal number at offset %1"_s.arg(valid.indexOf("\"containerVersion\"") + 19);
        QTest::newRow("number starting with a point") << replaced(
            "\"blue\":0", "\"blue\":.5") << u"illegal number at offset %1"_s.arg(valid.indexOf("\"blue\"") + 7);
        // RFC 8259 lets no character below U+0020 stand in a string unescaped.
        for (const char control : { '\x01', '\t', '\n', '\x1f' }) {
            QTest::addRow("raw U+%04X in a string", int(control))
                << replaced("\"Space\"", QByteArray("\"Sp") + control + "ace\"")
                << u"illegal value at offset %1"_s.arg(valid.indexOf("\"Space\"") + 3);
        }
        // The first fault counts, whichever kind.
        QTest::newRow("control character before a bad number")
            << replaced("\"ann@example.org\"", "\"ann\x02\"").replace("\"blue\":0", "\"blue\":.5")
            << u"illegal value at offset %1"_s.arg(valid.indexOf("\"ann@example.org\"") + 4);
        QTest::newRow("bad number before a control character")
            << replaced("\"Space\"", "\"S\x02\"").replace("\"blue\":0", "\"blue\":.5")
            << u"illegal number at offset %1"_s.arg(valid.indexOf("\"blue\"") + 7);
        // The offset is the one of a text without the mark, whose three bytes stand in its place.
        const auto withAuthorEmail = [&](const char *email) {
            return QByteArray(valid)
                .replace("\"ann@example.org\"", email)
                .replace("\"authoringLock\":true", "\"authoringLock\":tru");
        };
        QJsonParseError plain;
        QJsonDocument::fromJson(withAuthorEmail("\"abc\""), &plain);
        QTest::newRow("after a byte-order mark")
            << withAuthorEmail("\"\xef\xbb\xbf\"") << u"illegal value at offset %1"_s.arg(plain.offset);
    }

    void notJsonSaysWhy()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, message);
        const auto decoded = decodeContainerJson(document);
        QVERIFY(!decoded);
        QVERIFY2(decoded.error().endsWith(message + u'.'), qPrintable(decoded.error()));
    }

    // Both readers give every string as it was written: controls, format characters and a leading
    // U+FEFF, which UTF-8 decoders like to take for a byte-order mark, raw or escaped.
    void stringsReadAsWritten_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("text"); // the title, and the icon's file name
        const auto written = [](const QString &text) {
            IconContainer container = fullContainer();
            container.title = text;
            container.icons.first().filename = text;
            return encodeContainerJson(container).value();
        };
        const QString mark(QChar(0xFEFF));
        for (const QString &text : { u"a\nb\tc\u0007d\u007fe"_s, u"zero\u200bwidth \u202eright"_s,
                 u"line\u2028sep\\back"_s, mark + u"BOM.icns"_s, mark + mark + u"X"_s, u"X"_s + mark }) {
            QTest::addRow("written %s", qPrintable(QString::fromLatin1(text.toUtf8().toPercentEncoding())))
                << written(text) << text;
        }
        const QByteArray valid = bytes(validDocument());
        const auto withText = [&](const QByteArray &json) {
            return QByteArray(valid).replace("\"Space\"", json).replace("\"Star.icns\"", json);
        };
        QTest::newRow("escaped mark") << withText("\"\\ufeffX\"") << mark + u"X"_s;
        QTest::newRow("mark after an escape") << withText("\"\\u00e9\xef\xbb\xbfX\"") << u"\u00e9"_s + mark + u"X"_s;
        QTest::newRow("marks raw and escaped") << withText("\"\xef\xbb\xbf\\ufeff\\n\"") << mark + mark + u"\n"_s;
    }

    void stringsReadAsWritten()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, text);
        const auto full = decodeContainerJsonDocument(document);
        QVERIFY2(full, qPrintable(full ? QString() : full.error()));
        QCOMPARE(full.value().title, text);
        QCOMPARE(full.value().icons.first().filename, std::optional(text));
        const std::optional<IconContainer> scanned = scanContainerJson(document);
        QVERIFY(scanned);
        QCOMPARE(scanned->title, text);
        QCOMPARE(scanned->icons.first().filename, std::optional(text));
    }

    void oversizedDocumentRefusedUnparsed()
    {
        // Valid JSON but too long: a string value padded past the bound.
        QByteArray document = bytes(validDocument());
        document.replace("\"Space\"", '"' + QByteArray(maxContainerJsonBytes, 'a') + '"');
        QVERIFY(document.size() > maxContainerJsonBytes);
        const auto decoded = decodeContainerJson(document);
        QVERIFY(!decoded);
        QVERIFY(decoded.error().contains(u"too large"));
    }

    void identifiersAreFreshEachTime()
    {
        const QByteArray document = bytes(validDocument());
        const auto first = decodeContainerJson(document);
        const auto second = decodeContainerJson(document);
        QVERIFY(first && second);
        const Icon &a = first.value().icons.at(0);
        const Icon &b = second.value().icons.at(0);
        QVERIFY(!first.value().id.isNull() && !a.id.isNull() && !a.containerID.isNull());
        QVERIFY(first.value().id != second.value().id);
        QVERIFY(a.id != b.id);
        QVERIFY(a.containerID != b.containerID);
        QVERIFY(a.containerID != first.value().id);
        QVERIFY(a.containerID != a.id);
    }

    void nonFiniteColourFailsToEncode_data()
    {
        QTest::addColumn<RGBAColor>("color");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("red NaN") << RGBAColor { nan, 0, 0, 1 };
        QTest::newRow("green infinite") << RGBAColor { 0, inf, 0, 1 };
        QTest::newRow("blue minus infinite") << RGBAColor { 0, 0, -inf, 1 };
        QTest::newRow("alpha NaN") << RGBAColor { 0, 0, 0, nan };
    }

    void nonFiniteColourFailsToEncode()
    {
        QFETCH(RGBAColor, color);
        const auto encoded = encodeContainerJson(IconContainer { .backgroundColor = color });
        QVERIFY(!encoded);
        QVERIFY(!encoded.error().isEmpty());
        QVERIFY(!encoded.error().contains(u'\n'));
    }
};

QTEST_GUILESS_MAIN(TestContainerJson)
#include "tst_containerjson.moc"
