// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/archives/typedstreamreader.h"
#include "support/typedstreamwriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;
using Kind = ArchivedValue::Kind;
using ByteOrder = TypedStreamWriter::ByteOrder;

namespace {

// Bytes written out by hand: hex pairs, or text after a leading "'".
QByteArray hand(std::initializer_list<const char *> parts)
{
    QByteArray bytes;
    for (const char *part : parts)
        bytes += part[0] == '\'' ? QByteArray(part + 1) : QByteArray::fromHex(part);
    return bytes;
}

// The header of a little-endian archive and its root group "@".
QByteArray littleStart()
{
    return hand({ "04 0b", "'streamtyped", "81 e8 03", "84 01 40" });
}

// A writer that has written the header and opened the root group.
TypedStreamWriter rootWriter(ByteOrder order = ByteOrder::little)
{
    TypedStreamWriter writer(order);
    writer.writeHeader();
    writer.writeGroup("@");
    return writer;
}

ArchivedValue nestedArrays(int depth)
{
    ArchivedValue value = ts::str("core");
    for (int level = 1; level < depth; ++level)
        value = ts::array({ value });
    return value;
}

// One of every kind, with a string object shared between two places.
ArchivedValue richValue()
{
    const ArchivedValue shared = ts::str("shared");
    return ts::dict({
        { "Icons",
            ts::dict({ { "Star",
                ts::dict({ { "Type", ts::str("IcnsFile") }, { "IcnsData", ts::bytes("icns\0\0\0\x08") } }) } }) },
        { "IconOrder", ts::array({ shared, ts::str("b"), shared }) },
        { "BackgroundColor", ts::array({ ts::real(1), ts::real(0.5), ts::real(0.25, 'f'), ts::integer(1) }) },
        { "AuthoringLock", ts::boolean(true) },
        { ts::integer(7), ts::unsignedInteger(70000) },
    });
}

QByteArray archiveWithGroups(const ArchivedValue &root, const std::function<void(TypedStreamWriter &)> &after)
{
    TypedStreamWriter writer = rootWriter();
    writer.writeObject(root);
    after(writer);
    return writer.bytes();
}

// Opens an object of a Foundation class in the root group; the caller writes its contents.
TypedStreamWriter rootObject(const QByteArray &className)
{
    TypedStreamWriter writer = rootWriter();
    writer.writeObjectStart(TypedStreamWriter::classChain(className));
    return writer;
}

QByteArray numberArchive(const QByteArray &type, const std::function<void(TypedStreamWriter &)> &value)
{
    TypedStreamWriter writer = rootObject("NSNumber");
    writer.writeGroup("*");
    writer.writeCString(type);
    writer.writeGroup(type);
    value(writer);
    writer.writeEndOfObject();
    return writer.bytes();
}

QByteArray stringArchive(const QByteArray &utf8)
{
    TypedStreamWriter writer = rootObject("NSString");
    writer.writeGroup("+");
    writer.writeUnsharedString(utf8);
    writer.writeEndOfObject();
    return writer.bytes();
}

QByteArray patched(QByteArray bytes, qsizetype at, const QByteArray &with)
{
    return bytes.replace(at, with.size(), with);
}

} // namespace

class TestTypedStreamReader : public QObject
{
    Q_OBJECT

private slots:
    void writerMatchesHandWrittenBytes_data();
    void writerMatchesHandWrittenBytes();
    void readsValues_data();
    void readsValues();
    void readsEveryFoundationClass_data();
    void readsEveryFoundationClass();
    void readsOtherForms_data();
    void readsOtherForms();
    void sharesObjectsReadTwice();
    void sharesDataBlobs();
    void refusesMalformed_data();
    void refusesMalformed();
    void refusesEveryTruncation();
    void convertsByKind_data();
    void convertsByKind();
    void convertsToBool_data();
    void convertsToBool();
    void convertsToDouble_data();
    void convertsToDouble();
    void looksUpFirstStringKey();
    void convertsLists_data();
    void convertsLists();
    void readsLargeArchive();
    void readsFiles();
    void readsShippedSample();
};

void TestTypedStreamReader::writerMatchesHandWrittenBytes_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("string") << TypedStreamWriter::archive(ts::str("Hi"))
                            << littleStart()
            + hand({ "84", "84 84 08", "'NSString", "01", "84 84 08", "'NSObject", "00 85", "84 01 2b", "02", "'Hi",
                "86" });
    QTest::newRow("big-endian integer") << TypedStreamWriter::archive(ts::integer(1000), ByteOrder::big)
                                        << hand({ "04 0b", "'typedstream", "81 03 e8", "84 01 40", "84", "84 84 08",
                                               "'NSNumber", "00", "84 84 07", "'NSValue", "00", "84 84 08", "'NSObject",
                                               "00 85", "84 01 2a", "84 84 01", "'i", "97", "81 03 e8", "86" });
    // The second "a" is the same object (entry 4); NSObject and NSString are classes written before.
    const ArchivedValue a = ts::str("a");
    QTest::newRow("shared objects and classes") << TypedStreamWriter::archive(ts::array({ a, a, ts::str("b") }))
                                                << littleStart()
            + hand({ "84", "84 84 0e", "'NSMutableArray", "00", "84 84 07", "'NSArray", "00", "84 84 08", "'NSObject",
                "00 85", "84 01", "'i", "03", "92 84 84 84 08", "'NSString", "01 95 84 01 2b 01", "'a", "86", "92 96",
                "92 84 97 98 01", "'b", "86", "86" });
    QTest::newRow("dictionary with data") << TypedStreamWriter::archive(ts::dict({ { "k", ts::bytes("\x01\x02") } }))
                                          << littleStart()
            + hand({ "84", "84 84 13", "'NSMutableDictionary", "00", "84 84 0c", "'NSDictionary", "00", "84 84 08",
                "'NSObject", "00 85", "84 01", "'i", "01", "92 84 84 84 08", "'NSString", "01 95 84 01 2b 01", "'k",
                "86", "92 84 84 84 06", "'NSData", "00 95", "96 02", "84 04", "'[2c]", "01 02", "86", "86" });

    const auto single = [](const std::function<void(TypedStreamWriter &)> &write, ByteOrder order = ByteOrder::little) {
        TypedStreamWriter writer(order);
        write(writer);
        return writer.bytes();
    };
    QTest::newRow("literal -110") << single([](auto &w) { w.writeInteger(-110); }) << hand({ "92" });
    QTest::newRow("literal 127") << single([](auto &w) { w.writeInteger(127); }) << hand({ "7f" });
    QTest::newRow("2 bytes 128") << single([](auto &w) { w.writeInteger(128); }) << hand({ "81 80 00" });
    QTest::newRow("2 bytes -111") << single([](auto &w) { w.writeInteger(-111); }) << hand({ "81 91 ff" });
    QTest::newRow("4 bytes 70000") << single([](auto &w) { w.writeInteger(70000); }) << hand({ "82 70 11 01 00" });
    QTest::newRow("4 bytes big-endian") << single([](auto &w) { w.writeInteger(70000); }, ByteOrder::big)
                                        << hand({ "82 00 01 11 70" });
    QTest::newRow("unsigned 200") << single([](auto &w) { w.writeUnsignedInteger(200); }) << hand({ "81 c8 00" });
    QTest::newRow("reference 0") << single([](auto &w) { w.writeReference(0); }) << hand({ "92" });
    QTest::newRow("reference 237") << single([](auto &w) { w.writeReference(237); }) << hand({ "7f" });
    QTest::newRow("reference 238") << single([](auto &w) { w.writeReference(238); }) << hand({ "81 80 00" });
    QTest::newRow("double") << single([](auto &w) { w.writeDouble(0.5); }) << hand({ "83 00 00 00 00 00 00 e0 3f" });
    QTest::newRow("double big-endian") << single([](auto &w) { w.writeDouble(0.5); }, ByteOrder::big)
                                       << hand({ "83 3f e0 00 00 00 00 00 00" });
    QTest::newRow("float") << single([](auto &w) { w.writeFloat(1.5f); }) << hand({ "83 00 00 c0 3f" });
    QTest::newRow("shared string twice") << single([](auto &w) {
        w.writeSharedString("ab");
        w.writeSharedString("cd");
        w.writeSharedString("ab");
    }) << hand({ "84 02", "'ab", "84 02", "'cd", "92" });
}

void TestTypedStreamReader::writerMatchesHandWrittenBytes()
{
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, expected);
    QCOMPARE(written.toHex(' '), expected.toHex(' '));
}

void TestTypedStreamReader::readsValues_data()
{
    QTest::addColumn<ArchivedValue>("value");

    QTest::newRow("string") << ts::str("Star");
    QTest::newRow("empty string") << ts::str("");
    QTest::newRow("non-ASCII string") << ts::str(u"Größe ✓ 🌟"_s);
    QTest::newRow("string with NUL") << ts::str(QString::fromUtf8("a\0b", 3));
    QTest::newRow("long string") << ts::str(QString(40000, u'x'));
    QTest::newRow("data") << ts::bytes(QByteArray("\x00\x80\xff", 3));
    QTest::newRow("empty data") << ts::bytes({});
    QTest::newRow("char") << ts::integer(-5, 'c');
    QTest::newRow("unsigned char") << ts::unsignedInteger(255, 'C');
    QTest::newRow("bool encoding B") << ts::integer(1, 'B');
    QTest::newRow("short") << ts::integer(-32768, 's');
    QTest::newRow("unsigned short") << ts::unsignedInteger(65535, 'S');
    QTest::newRow("int -110") << ts::integer(-110);
    QTest::newRow("int -111") << ts::integer(-111);
    QTest::newRow("int 127") << ts::integer(127);
    QTest::newRow("int 32768") << ts::integer(32768);
    QTest::newRow("int min") << ts::integer(std::numeric_limits<qint32>::min());
    QTest::newRow("int max") << ts::integer(std::numeric_limits<qint32>::max());
    QTest::newRow("unsigned int max") << ts::unsignedInteger(std::numeric_limits<quint32>::max());
    QTest::newRow("long") << ts::integer(-70000, 'l');
    QTest::newRow("unsigned long") << ts::unsignedInteger(128, 'L');
    QTest::newRow("long long") << ts::integer(123456789, 'q');
    QTest::newRow("unsigned long long") << ts::unsignedInteger(4000000000u, 'Q');
    QTest::newRow("float") << ts::real(0.1f, 'f');
    QTest::newRow("double") << ts::real(0.1);
    QTest::newRow("negative zero") << ts::real(-0.0);
    QTest::newRow("infinity") << ts::real(std::numeric_limits<double>::infinity());
    QTest::newRow("denormal") << ts::real(std::numeric_limits<double>::denorm_min());
    QTest::newRow("true") << ts::boolean(true);
    QTest::newRow("false") << ts::boolean(false);
    QTest::newRow("nil root") << ArchivedValue();
    QTest::newRow("empty array") << ts::array({});
    QTest::newRow("empty dictionary") << ts::dict({});
    QTest::newRow("nested") << richValue();
    QTest::newRow("nesting at the limit") << nestedArrays(TypedStreamReader::maxDepth);
    QList<ArchivedValue> many;
    for (int i = 0; i < 300; ++i)
        many.append(ts::integer(i));
    // Over 238 table entries, so references take the 2-byte form.
    QTest::newRow("many objects") << ArchivedValue::array(many + many);
}

void TestTypedStreamReader::readsValues()
{
    QFETCH(ArchivedValue, value);
    for (const ByteOrder order : { ByteOrder::little, ByteOrder::big }) {
        const std::optional<ArchivedValue> read = TypedStreamReader::read(TypedStreamWriter::archive(value, order));
        QVERIFY(read);
        QVERIFY(*read == value);
        QCOMPARE(read->kind(), value.kind());
        QCOMPARE(read->numberEncoding(), value.numberEncoding());
    }
}

void TestTypedStreamReader::readsEveryFoundationClass_data()
{
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<ArchivedValue>("value");

    QTest::newRow("NSString") << QByteArray("NSString") << ts::str("s");
    QTest::newRow("NSMutableString") << QByteArray("NSMutableString") << ts::str("s");
    QTest::newRow("NSData") << QByteArray("NSData") << ts::bytes("d");
    QTest::newRow("NSMutableData") << QByteArray("NSMutableData") << ts::bytes("d");
    QTest::newRow("NSArray") << QByteArray("NSArray") << ts::array({ ts::integer(1) });
    QTest::newRow("NSMutableArray") << QByteArray("NSMutableArray") << ts::array({ ts::integer(1) });
    QTest::newRow("NSDictionary") << QByteArray("NSDictionary") << ts::dict({ { "k", ts::integer(1) } });
    QTest::newRow("NSMutableDictionary") << QByteArray("NSMutableDictionary") << ts::dict({ { "k", ts::integer(1) } });
}

void TestTypedStreamReader::readsEveryFoundationClass()
{
    QFETCH(QByteArray, className);
    QFETCH(ArchivedValue, value);
    TypedStreamWriter writer = rootWriter();
    writer.setClassName(value.kind(), className);
    writer.writeObject(value);
    QVERIFY(writer.bytes().contains(className));
    const std::optional<ArchivedValue> read = TypedStreamReader::read(writer.bytes());
    QVERIFY(read);
    QVERIFY(*read == value);
}

void TestTypedStreamReader::readsOtherForms_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ArchivedValue>("expected");

    // Forms an archiver may write that ours does not.
    QTest::newRow("unsigned literal head 200")
        << numberArchive("I", [](auto &w) { w.writeRaw("\xc8"); }) << ts::unsignedInteger(200, 'I');
    QTest::newRow("unsigned 2-byte 65535")
        << numberArchive("S", [](auto &w) { w.writeRaw("\x81\xff\xff"); }) << ts::unsignedInteger(65535, 'S');
    QTest::newRow("signed 2-byte -1") << numberArchive("i", [](auto &w) { w.writeRaw("\x81\xff\xff"); })
                                      << ts::integer(-1);
    QTest::newRow("double as integer") << numberArchive("d", [](auto &w) { w.writeInteger(-3); }) << ts::real(-3.0);
    QTest::newRow("float as 2-byte integer")
        << numberArchive("f", [](auto &w) { w.writeInteger(1000); }) << ts::real(1000.0, 'f');
    QTest::newRow("raw char") << numberArchive("c", [](auto &w) { w.writeRaw("\x85"); }) << ts::integer(-123, 'c');
    QTest::newRow("short truncates") << numberArchive("s", [](auto &w) { w.writeInteger(70000); })
                                     << ts::integer(qint16(70000), 's');
    QTest::newRow("byte-order mark kept") << stringArchive("\xef\xbb\xbfx") << ts::str(u"\ufeffx"_s);

    // Groups after the root are read and ignored; every encoding is known there.
    const ArchivedValue root = ts::str("root");
    QTest::newRow("trailing scalars") << archiveWithGroups(root, [](TypedStreamWriter &w) {
        w.writeGroup("cCBsSiIlLqQfd");
        w.writeRaw("\x01\x02\x01");
        for (int i = 0; i < 8; ++i)
            w.writeInteger(200);
        w.writeFloat(0.5f);
        w.writeDouble(0.5);
    }) << root;
    QTest::newRow("trailing strings and classes") << archiveWithGroups(root, [&root](TypedStreamWriter &w) {
        w.writeGroup("*+#:@*");
        w.writeCString("text");
        w.writeUnsharedString("raw");
        w.writeClass(TypedStreamWriter::classChain("NSMutableString"));
        w.writeSharedString("selector:");
        w.writeObject(root);
        w.writeCString("text");
        w.writeGroup("+#:*");
        w.writeTag(TypedStreamWriter::nil);
        w.writeTag(TypedStreamWriter::nil);
        w.writeTag(TypedStreamWriter::nil);
        w.writeTag(TypedStreamWriter::nil);
    }) << root;
    QTest::newRow("trailing arrays and structs") << archiveWithGroups(root, [](TypedStreamWriter &w) {
        w.writeGroup("[3i][4c]{Point=dd}[2{Pair=i@}]{Empty=}[1000000{Empty=}]");
        w.writeInteger(1);
        w.writeInteger(2);
        w.writeInteger(3);
        w.writeRaw("abcd");
        w.writeDouble(1.5);
        w.writeInteger(2);
        w.writeInteger(9);
        w.writeObject(ts::str("x"));
        w.writeInteger(8);
        w.writeTag(TypedStreamWriter::nil);
    }) << root;
    // Each group after the first names the long type string for one byte. Read by walking the
    // type string every time, this half-megabyte archive would take hours.
    QTest::newRow("long trailing group type named again and again") << archiveWithGroups(
        root, [](TypedStreamWriter &w) {
            const QByteArray types = QByteArray("{Empty=}").repeated(32 * 1024) + '{' + QByteArray(8192, 'x') + "=c}";
            for (int i = 0; i < 128 * 1024; ++i) {
                w.writeGroup(types);
                w.writeRaw("\x01");
            }
        }) << root;
}

void TestTypedStreamReader::readsOtherForms()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ArchivedValue, expected);
    const std::optional<ArchivedValue> read = TypedStreamReader::read(bytes);
    QVERIFY(read);
    QVERIFY(*read == expected);
    QCOMPARE(read->numberEncoding(), expected.numberEncoding());
}

void TestTypedStreamReader::sharesObjectsReadTwice()
{
    const QByteArray bytes = TypedStreamWriter::archive(richValue(), ByteOrder::big);
    // The archiver writes a string it meets again, a class and a group type once.
    QCOMPARE(bytes.count("shared"), 1);
    QCOMPARE(bytes.count("NSString"), 1);
    QCOMPARE(bytes.count("\x84\x01@"), 1);

    const std::optional<ArchivedValue> read = TypedStreamReader::read(bytes);
    QVERIFY(read);
    const ArchivedValue::Array order = *read->value(u"IconOrder")->toArray();
    QCOMPARE(order.size(), 3);
    QCOMPARE(order[0].identity(), order[2].identity());
    QVERIFY(order[0].identity() != order[1].identity());
}

void TestTypedStreamReader::sharesDataBlobs()
{
    // One blob for every icon, stored once: held once, however many objects name it.
    const QByteArray bytes = TypedStreamWriter::archive(ts::sharedDataCollection(4096, 64 * 1024));
    QVERIFY(bytes.size() < 1 << 20);
    const std::optional<ArchivedValue> read = TypedStreamReader::read(bytes);
    QVERIFY(read);
    const ArchivedValue::Dictionary icons = *read->value(u"Icons")->toDictionary();
    QCOMPARE(icons.size(), 4096);
    QCOMPARE(icons.first().second.value(u"IcnsData")->identity(), icons.last().second.value(u"IcnsData")->identity());
}

void TestTypedStreamReader::refusesMalformed_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray good = TypedStreamWriter::archive(ts::str("Hi"));
    QVERIFY(TypedStreamReader::read(good));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("version only") << QByteArray("\x04");
    QTest::newRow("version 3") << patched(good, 0, "\x03");
    QTest::newRow("version 5") << patched(good, 0, "\x05");
    QTest::newRow("signature length") << patched(good, 1, "\x0a");
    QTest::newRow("signature") << patched(good, 2, "streamtypes");
    QTest::newRow("system version is a tag") << patched(good, 13, "\x85");
    QTest::newRow("header only") << good.left(16);
    QTest::newRow("root group not @") << [] {
        TypedStreamWriter w;
        w.writeHeader();
        w.writeGroup("i");
        w.writeInteger(1);
        return w.bytes();
    }();
    QTest::newRow("root group nil") << [] {
        TypedStreamWriter w;
        w.writeHeader();
        w.writeTag(TypedStreamWriter::nil);
        return w.bytes();
    }();
    QTest::newRow("trailing byte after the root") << good + '\x01';
    QTest::newRow("end of object after the root") << good + '\x86';

    // Lengths and counts past the end.
    QTest::newRow("string longer than the file") << [] {
        TypedStreamWriter w = rootObject("NSString");
        w.writeGroup("+");
        w.writeInteger(50);
        w.writeRaw("abc");
        return w.bytes();
    }();
    const auto dataArchive = [](qint64 length, const QByteArray &types, const QByteArray &bytes) {
        TypedStreamWriter w = rootObject("NSData");
        w.writeGroup("i");
        w.writeInteger(length);
        w.writeGroup(types);
        w.writeRaw(bytes);
        w.writeEndOfObject();
        return w.bytes();
    };
    QVERIFY(TypedStreamReader::read(dataArchive(3, "[3c]", "abc")));
    QTest::newRow("data longer than the file") << dataArchive(1000, "[1000c]", "abc");
    QTest::newRow("negative data length") << dataArchive(-1, "[-1c]", "");
    QTest::newRow("data length and group disagree") << dataArchive(3, "[2c]", "abc");
    QTest::newRow("data group unsigned") << dataArchive(3, "[3C]", "abc");
    const auto countArchive = [](const QByteArray &className, qint64 count) {
        TypedStreamWriter w = rootObject(className);
        w.writeGroup("i");
        w.writeInteger(count);
        for (int i = 0; i < 10; ++i) {
            w.writeGroup("@");
            w.writeObject(ts::integer(i));
        }
        return w.bytes();
    };
    QTest::newRow("array count past the end") << countArchive("NSArray", 100000);
    QTest::newRow("negative array count") << countArchive("NSArray", -1);
    QTest::newRow("dictionary count past the end") << countArchive("NSDictionary", 100000);
    QTest::newRow("array shorter than its count") << countArchive("NSArray", 11);

    // References.
    QTest::newRow("forward object reference") << [] {
        TypedStreamWriter w = rootWriter();
        w.writeReference(5);
        return w.bytes();
    }();
    QTest::newRow("negative object reference") << [] {
        TypedStreamWriter w = rootWriter();
        w.writeReference(-1);
        return w.bytes();
    }();
    const auto arrayWith = [](const std::function<void(TypedStreamWriter &)> &elements, int count) {
        TypedStreamWriter w = rootObject("NSArray");
        w.writeGroup("i");
        w.writeInteger(count);
        elements(w);
        w.writeEndOfObject();
        return w.bytes();
    };
    QTest::newRow("object reference to a class") << arrayWith(
        [](TypedStreamWriter &w) {
            w.writeGroup("@");
            w.writeReference(w.classIndex("NSArray"));
        },
        1);
    QTest::newRow("object reference to a C string") << arrayWith(
        [](TypedStreamWriter &w) {
            w.writeGroup("@");
            w.writeObject(ts::integer(1));
            w.writeGroup("@");
            w.writeReference(w.objectCount() - 1);
        },
        2);
    QTest::newRow("array that contains itself") << arrayWith(
        [](TypedStreamWriter &w) {
            w.writeGroup("@");
            w.writeReference(0);
        },
        1);
    // Each reference costs two bytes but stands for 64 KB of text: a consumer comparing or hashing
    // the strings would read 256 MB.
    const auto sharedText = [](int references) {
        const ArchivedValue text = ts::str(QString(64 * 1024, u'x'));
        ArchivedValue::Array elements(references, text);
        return TypedStreamWriter::archive(ArchivedValue::array(std::move(elements)));
    };
    QVERIFY(TypedStreamReader::read(sharedText(16)));
    QTest::newRow("one string shared too widely") << sharedText(4096);
    // Each level announces what the rest of the input could hold; reserving every announcement
    // would take memory hundreds of times the input's.
    QTest::newRow("nested arrays of large counts") << ts::nestedCountsArchive(60, 1 << 20);
    QTest::newRow("class reference to an object") << [] {
        TypedStreamWriter w = rootWriter();
        w.writeObject(ts::str("a"));
        w.writeGroup("@");
        w.writeTag(TypedStreamWriter::newItem);
        w.writeReference(0);
        return w.bytes();
    }();
    QTest::newRow("forward class reference") << [] {
        TypedStreamWriter w = rootWriter();
        w.writeTag(TypedStreamWriter::newItem);
        w.writeReference(3);
        return w.bytes();
    }();
    QTest::newRow("superclass reference to an object") << [] {
        TypedStreamWriter w = rootWriter();
        w.writeTag(TypedStreamWriter::newItem);
        w.writeTag(TypedStreamWriter::newItem);
        w.writeSharedString("NSString");
        w.writeInteger(1);
        w.writeReference(0);
        return w.bytes();
    }();
    QTest::newRow("forward shared-string reference") << [] {
        TypedStreamWriter w = rootWriter();
        w.writeTag(TypedStreamWriter::newItem);
        w.writeTag(TypedStreamWriter::newItem);
        w.writeReference(w.sharedStringCount());
        return w.bytes();
    }();
    QTest::newRow("C-string reference to an object")
        << numberArchive("i", [](auto &) {}).replace("\x84\x84\x01i\x97", "\x92");

    // Classes and encodings.
    const auto objectOf = [](const TypedStreamWriter::ClassChain &chain) {
        TypedStreamWriter w = rootWriter();
        w.writeObjectStart(chain);
        w.writeGroup("+");
        w.writeUnsharedString("x");
        w.writeEndOfObject();
        return w.bytes();
    };
    QVERIFY(TypedStreamReader::read(objectOf(TypedStreamWriter::classChain("NSString"))));
    QTest::newRow("unknown class") << objectOf(TypedStreamWriter::classChain("NSFoo"));
    QTest::newRow("unknown superclass") << objectOf({ { "NSString", 1 }, { "NSFrob", 0 } });
    QTest::newRow("object of NSObject") << objectOf(TypedStreamWriter::classChain("NSObject"));
    QTest::newRow("object of NSValue") << objectOf(TypedStreamWriter::classChain("NSValue"));
    QTest::newRow("object without a class") << [] {
        TypedStreamWriter w = rootWriter();
        w.writeTag(TypedStreamWriter::newItem);
        w.writeTag(TypedStreamWriter::nil);
        return w.bytes();
    }();
    QTest::newRow("unknown number type") << numberArchive("v", [](auto &w) { w.writeInteger(1); });
    QTest::newRow("number type of two letters") << numberArchive("ii", [](auto &w) {
        w.writeInteger(1);
        w.writeInteger(1);
    });
    QTest::newRow("number without type") << [] {
        TypedStreamWriter w = rootObject("NSNumber");
        w.writeGroup("*");
        w.writeTag(TypedStreamWriter::nil);
        w.writeEndOfObject();
        return w.bytes();
    }();
    QTest::newRow("number value of another type") << [] {
        TypedStreamWriter w = rootObject("NSNumber");
        w.writeGroup("*");
        w.writeCString("i");
        w.writeGroup("q");
        w.writeInteger(1);
        w.writeEndOfObject();
        return w.bytes();
    }();
    QTest::newRow("real tag in an integer") << numberArchive("i", [](auto &w) { w.writeDouble(1); });
    QTest::newRow("string group of another type") << [] {
        TypedStreamWriter w = rootObject("NSString");
        w.writeGroup("*");
        w.writeCString("x");
        w.writeEndOfObject();
        return w.bytes();
    }();
    QTest::newRow("nil string") << [] {
        TypedStreamWriter w = rootObject("NSString");
        w.writeGroup("+");
        w.writeTag(TypedStreamWriter::nil);
        w.writeEndOfObject();
        return w.bytes();
    }();
    QTest::newRow("invalid UTF-8") << stringArchive("\xff\xfe");
    QTest::newRow("cut UTF-8 sequence") << stringArchive("a\xc3");
    QTest::newRow("trailing group inside an object") << [] {
        TypedStreamWriter w = rootObject("NSString");
        w.writeGroup("+");
        w.writeUnsharedString("x");
        w.writeGroup("i");
        w.writeInteger(1);
        w.writeEndOfObject();
        return w.bytes();
    }();
    QTest::newRow("missing end of object") << good.chopped(1);
    QTest::newRow("nil in an array") << arrayWith(
        [](TypedStreamWriter &w) {
            w.writeGroup("@");
            w.writeTag(TypedStreamWriter::nil);
        },
        1);
    QTest::newRow("nil dictionary key") << [] {
        TypedStreamWriter w = rootObject("NSDictionary");
        w.writeGroup("i");
        w.writeInteger(1);
        w.writeGroup("@");
        w.writeObject({});
        w.writeGroup("@");
        w.writeObject(ts::str("v"));
        w.writeEndOfObject();
        return w.bytes();
    }();
    QTest::newRow("nil dictionary value") << [] {
        TypedStreamWriter w = rootObject("NSDictionary");
        w.writeGroup("i");
        w.writeInteger(1);
        w.writeGroup("@");
        w.writeObject(ts::str("k"));
        w.writeGroup("@");
        w.writeObject({});
        w.writeEndOfObject();
        return w.bytes();
    }();
    QTest::newRow("unknown tag -128") << littleStart() + '\x80';
    QTest::newRow("unknown tag -121") << littleStart() + '\x87';
    QTest::newRow("nesting too deep") << TypedStreamWriter::archive(nestedArrays(TypedStreamReader::maxDepth + 1));

    // Groups after the root.
    const ArchivedValue root = ts::str("root");
    const auto trailing = [&root](const QByteArray &types, const QByteArray &values) {
        return archiveWithGroups(root, [&](TypedStreamWriter &w) {
            w.writeGroup(types);
            w.writeRaw(values);
        });
    };
    QVERIFY(TypedStreamReader::read(trailing("[2i]", "\x01\x02")));
    QTest::newRow("unknown encoding") << trailing("v", "\x01");
    QTest::newRow("pointer encoding") << trailing("^i", "\x01");
    QTest::newRow("empty group") << trailing("", "");
    QTest::newRow("array longer than the file") << trailing("[2000000000i]", "\x01\x02");
    QTest::newRow("raw array longer than the file") << trailing("[2000000000c]", "\x01\x02");
    QTest::newRow("array count overflow") << trailing("[99999999999999999999i]", "\x01");
    QTest::newRow("array without count") << trailing("[i]", "\x01");
    QTest::newRow("unterminated array") << trailing("[2i", "\x01\x02");
    QTest::newRow("unterminated struct") << trailing("{a=i", "\x01");
    QTest::newRow("struct without =") << trailing("{a}", "\x01");
    QTest::newRow("encoding nested too deep")
        << trailing(QByteArray(20, '[').replace("[", "[1") + 'i' + QByteArray(20, ']'), "\x01");
    QTest::newRow("group ends early") << trailing("ii", "\x01");
}

void TestTypedStreamReader::refusesMalformed()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!TypedStreamReader::read(bytes));
}

void TestTypedStreamReader::refusesEveryTruncation()
{
    for (const ByteOrder order : { ByteOrder::little, ByteOrder::big }) {
        const QByteArray bytes = TypedStreamWriter::archive(richValue(), order);
        QVERIFY(TypedStreamReader::read(bytes));
        for (qsizetype size = 0; size < bytes.size(); ++size) {
            if (TypedStreamReader::read(bytes.left(size)))
                QFAIL(qPrintable(u"a prefix of %1 bytes was read"_s.arg(size)));
        }
    }
}

void TestTypedStreamReader::convertsByKind_data()
{
    QTest::addColumn<ArchivedValue>("value");
    QTest::addColumn<Kind>("kind");

    QTest::newRow("nil") << ArchivedValue() << Kind::nil;
    QTest::newRow("dictionary") << ts::dict({ { "a", ts::integer(1) } }) << Kind::dictionary;
    QTest::newRow("array") << ts::array({ ts::str("a") }) << Kind::array;
    QTest::newRow("string") << ts::str("1") << Kind::string;
    QTest::newRow("data") << ts::bytes("1") << Kind::data;
    QTest::newRow("number") << ts::integer(1) << Kind::number;
    QTest::newRow("unsigned char") << ts::unsignedInteger(1, 'C') << Kind::number;
    QTest::newRow("boolean c") << ts::boolean(true) << Kind::boolean;
    QTest::newRow("boolean B") << ts::integer(0, 'B') << Kind::boolean;
}

void TestTypedStreamReader::convertsByKind()
{
    QFETCH(ArchivedValue, value);
    QFETCH(Kind, kind);
    QCOMPARE(value.kind(), kind);
    QCOMPARE(value.isNil(), kind == Kind::nil);
    QCOMPARE(value.toDictionary().has_value(), kind == Kind::dictionary);
    QCOMPARE(value.toArray().has_value(), kind == Kind::array);
    QCOMPARE(value.toString().has_value(), kind == Kind::string);
    QCOMPARE(value.toBytes().has_value(), kind == Kind::data);
    const bool isNumber = kind == Kind::number || kind == Kind::boolean;
    QCOMPARE(value.numberValue().has_value(), isNumber);
    QCOMPARE(value.toDouble().has_value(), isNumber);
    QCOMPARE(value.toBool().has_value(), isNumber);
    QCOMPARE(value.value(u"a").has_value(), kind == Kind::dictionary);
}

void TestTypedStreamReader::convertsToBool_data()
{
    QTest::addColumn<ArchivedValue>("value");
    QTest::addColumn<int>("expected"); // -1: no boolean

    QTest::newRow("true") << ts::boolean(true) << 1;
    QTest::newRow("false") << ts::boolean(false) << 0;
    QTest::newRow("B 1") << ts::integer(1, 'B') << 1;
    QTest::newRow("char 2") << ts::integer(2, 'c') << -1;
    QTest::newRow("int 1") << ts::integer(1) << 1;
    QTest::newRow("int 0") << ts::integer(0) << 0;
    QTest::newRow("int -1") << ts::integer(-1) << -1;
    QTest::newRow("unsigned 1") << ts::unsignedInteger(1, 'Q') << 1;
    QTest::newRow("double 1.0") << ts::real(1.0) << 1;
    QTest::newRow("double -0.0") << ts::real(-0.0) << 0;
    QTest::newRow("double 0.5") << ts::real(0.5) << -1;
    QTest::newRow("double NaN") << ts::real(std::nan("")) << -1;
    QTest::newRow("string") << ts::str("1") << -1;
}

void TestTypedStreamReader::convertsToBool()
{
    QFETCH(ArchivedValue, value);
    QFETCH(int, expected);
    const std::optional<bool> converted = value.toBool();
    QCOMPARE(converted.has_value(), expected >= 0);
    if (converted)
        QCOMPARE(*converted, expected == 1);
}

void TestTypedStreamReader::convertsToDouble_data()
{
    QTest::addColumn<ArchivedValue>("value");
    QTest::addColumn<bool>("converts");
    QTest::addColumn<double>("expected");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("double") << ts::real(0.1) << true << 0.1;
    QTest::newRow("float widens exactly") << ts::real(0.1f, 'f') << true << double(0.1f);
    QTest::newRow("int") << ts::integer(-3) << true << -3.0;
    QTest::newRow("boolean") << ts::boolean(true) << true << 1.0;
    QTest::newRow("infinity") << ts::real(inf) << true << inf;
    QTest::newRow("NaN") << ts::real(std::nan("")) << false << 0.0;
    QTest::newRow("2^53 + 1") << ts::integer((qint64(1) << 53) + 1, 'q') << false << 0.0;
    QTest::newRow("2^53") << ts::integer(qint64(1) << 53, 'q') << true << 9007199254740992.0;
    QTest::newRow("int64 min") << ts::integer(std::numeric_limits<qint64>::min(), 'q') << true
                               << -9223372036854775808.0;
    QTest::newRow("int64 max") << ts::integer(std::numeric_limits<qint64>::max(), 'q') << false << 0.0;
    QTest::newRow("uint64 max") << ts::unsignedInteger(std::numeric_limits<quint64>::max(), 'Q') << false << 0.0;
    QTest::newRow("2^63 unsigned") << ts::unsignedInteger(quint64(1) << 63, 'Q') << true << 9223372036854775808.0;
    QTest::newRow("data") << ts::bytes("1") << false << 0.0;
}

void TestTypedStreamReader::convertsToDouble()
{
    QFETCH(ArchivedValue, value);
    QFETCH(bool, converts);
    QFETCH(double, expected);
    const std::optional<double> converted = value.toDouble();
    QCOMPARE(converted.has_value(), converts);
    if (converted)
        QCOMPARE(*converted, expected);
}

void TestTypedStreamReader::looksUpFirstStringKey()
{
    const ArchivedValue dictionary = ts::dict({
        { ts::integer(5), ts::str("number key") },
        { ts::bytes("a"), ts::str("data key") },
        { "a", ts::str("first") },
        { "a", ts::str("second") },
    });
    QCOMPARE(dictionary.value(u"a")->toString(), u"first"_s);
    QVERIFY(!dictionary.value(u"5"));
    QVERIFY(!dictionary.value(u"A"));
    QVERIFY(!ts::array({ ts::str("a") }).value(u"a"));
    QCOMPARE(dictionary.toDictionary()->size(), 4);
}

void TestTypedStreamReader::convertsLists_data()
{
    QTest::addColumn<ArchivedValue>("value");
    QTest::addColumn<bool>("strings");
    QTest::addColumn<bool>("doubles");

    QTest::newRow("strings") << ts::array({ ts::str("b"), ts::str("a") }) << true << false;
    QTest::newRow("numbers") << ts::array({ ts::real(1), ts::real(0.5), ts::integer(0), ts::boolean(true) }) << false
                             << true;
    QTest::newRow("empty") << ts::array({}) << true << true;
    QTest::newRow("one string among numbers") << ts::array({ ts::real(1), ts::str("0.5") }) << false << false;
    QTest::newRow("one NaN") << ts::array({ ts::real(1), ts::real(std::nan("")) }) << false << false;
    QTest::newRow("not an array") << ts::str("a") << false << false;
}

void TestTypedStreamReader::convertsLists()
{
    QFETCH(ArchivedValue, value);
    QFETCH(bool, strings);
    QFETCH(bool, doubles);
    const std::optional<QStringList> stringList = value.toStringList();
    const std::optional<QList<double>> doubleList = value.toDoubleList();
    QCOMPARE(stringList.has_value(), strings);
    QCOMPARE(doubleList.has_value(), doubles);
    const qsizetype size = value.toArray() ? value.toArray()->size() : 0;
    if (stringList) {
        QCOMPARE(stringList->size(), size);
        for (qsizetype i = 0; i < size; ++i)
            QCOMPARE(stringList->at(i), value.toArray()->at(i).toString());
    }
    if (doubleList) {
        QCOMPARE(doubleList->size(), size);
        for (qsizetype i = 0; i < size; ++i)
            QCOMPARE(doubleList->at(i), value.toArray()->at(i).toDouble());
    }
}

void TestTypedStreamReader::readsLargeArchive()
{
    // About 50 MB, nearly all of it icon data, as a large collection holds.
    const ArchivedValue root = ts::iconCollection(500, 100 * 1024);
    const QByteArray bytes = TypedStreamWriter::archive(root);
    QVERIFY(bytes.size() > 50 * 1000 * 1000);

    const std::optional<ArchivedValue> read = TypedStreamReader::read(bytes);
    QVERIFY(read);
    QVERIFY(*read == root);
    const ArchivedValue::Dictionary icons = *read->value(u"Icons")->toDictionary();
    QCOMPARE(icons.size(), 500);
    QCOMPARE(icons.last().second.value(u"IcnsData")->toBytes()->size(), 100 * 1024 + 499);
}

void TestTypedStreamReader::readsFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"Space.ravivovode"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(TypedStreamWriter::archive(richValue()));
    file.close();
    const std::optional<ArchivedValue> read = TypedStreamReader::readFile(path);
    QVERIFY(read);
    QVERIFY(*read == richValue());

    QVERIFY(!TypedStreamReader::readFile(dir.filePath(u"missing"_s)));
    QVERIFY(!TypedStreamReader::readFile(dir.path()));
    const QString fifo = dir.filePath(u"fifo"_s);
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(!TypedStreamReader::readFile(fifo));
    // Refused by its size, before anything is read: the file is sparse.
    QVERIFY(file.resize(TypedStreamReader::maxFileSize + 1));
    QVERIFY(!TypedStreamReader::readFile(path));
}

void TestTypedStreamReader::readsShippedSample()
{
    const std::optional<ArchivedValue> root = TypedStreamReader::readFile(
        QDir::cleanPath(QStringLiteral(GLIMBAR_TEST_DATA "/../../samples/Starter Shapes.ravivovode")));
    QVERIFY(root);
    const ArchivedValue::Dictionary icons = *root->value(u"Icons")->toDictionary();
    QVERIFY(icons.size() >= 6);
    QStringList names;
    int icnsIcons = 0;
    for (const auto &[name, icon] : icons) {
        names.append(*name.toString());
        const QString type = *icon.value(u"Type")->toString();
        if (type == u"IcnsFile") {
            const QByteArray data = *icon.value(u"IcnsData")->toBytes();
            QVERIFY(data.startsWith("icns"));
            QCOMPARE(qFromBigEndian<quint32>(data.constData() + 4), quint32(data.size()));
            ++icnsIcons;
        } else {
            QCOMPARE(type, u"PngFile"_s);
            QVERIFY(icon.value(u"PngData")->toBytes()->startsWith("\x89PNG"));
        }
    }
    QVERIFY(icnsIcons > 0 && icnsIcons < icons.size());
    QStringList order = *root->value(u"IconOrder")->toStringList();
    QVERIFY(order != names);
    order.sort();
    names.sort();
    QCOMPARE(order, names);
    QCOMPARE(root->value(u"BackgroundColor")->toDoubleList()->size(), 4);
    QVERIFY(root->value(u"AuthoringLock")->toBool().has_value());
    for (const QString &key : { u"AuthorName"_s, u"AuthorURL"_s, u"AuthorEmail"_s, u"Copyright"_s })
        QVERIFY(!root->value(key)->toString()->isEmpty());
}

QTEST_GUILESS_MAIN(TestTypedStreamReader)
#include "tst_typedstreamreader.moc"
