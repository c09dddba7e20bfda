// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpus of fuzz_typedstream: small archives that between them reach every part
// of the reader. Run from the build tree:
//   tests/make_typedstream_corpus ../../fuzz/corpus/typedstream

#include "support/corpuswriter.h"
#include "support/typedstreamwriter.h"

using namespace Qt::StringLiterals;

namespace {

using ByteOrder = TypedStreamWriter::ByteOrder;

ArchivedValue everyNumber()
{
    return ts::array({
        ts::integer(-5, 'c'),
        ts::unsignedInteger(200, 'C'),
        ts::integer(1, 'B'),
        ts::integer(-300, 's'),
        ts::unsignedInteger(40000, 'S'),
        ts::integer(-70000),
        ts::unsignedInteger(3000000000u),
        ts::integer(100, 'l'),
        ts::unsignedInteger(100, 'L'),
        ts::integer(-1, 'q'),
        ts::unsignedInteger(1, 'Q'),
        ts::real(0.25, 'f'),
        ts::real(-1.5),
        ts::boolean(true),
    });
}

ArchivedValue smallCollection()
{
    const ArchivedValue type = ts::str("Type");
    const ArchivedValue star = ts::str("Star");
    const ArchivedValue moon = ts::str("Moon");
    return ts::dict({
        { "Icons",
            ts::dict({
                { star, ts::dict({ { type, ts::str("IcnsFile") }, { "IcnsData", ts::bytes("icns\0\0\0\x08") } }) },
                { moon, ts::dict({ { type, ts::str("PngFile") }, { "PngData", ts::bytes("\x89PNG\r\n\x1a\n") } }) },
            }) },
        { "IconOrder", ts::array({ moon, star }) },
        { "AuthorName", ts::str("A. Uthor") },
        { "AuthorURL", ts::str("https://example.org") },
        { "AuthorEmail", ts::str("a@example.org") },
        { "Copyright", ts::str(u"© 2024"_s) },
        { "AuthoringLock", ts::boolean(false) },
        { "BackgroundColor", ts::array({ ts::real(1), ts::real(0.5), ts::real(0), ts::real(1) }) },
        { "CustomIcon", ts::bytes("icns\0\0\0\x08") },
    });
}

// Groups after the root, with every encoding a group may hold.
QByteArray withTrailingGroups(ByteOrder order)
{
    TypedStreamWriter writer(order);
    writer.writeHeader();
    writer.writeGroup("@");
    const ArchivedValue root = ts::str("root");
    writer.writeObject(root);
    writer.writeGroup("cCBsSiIlLqQfd");
    writer.writeRaw("\x01\x02\x01");
    for (int i = 0; i < 8; ++i)
        writer.writeInteger(i * 10000);
    writer.writeFloat(0.5f);
    writer.writeDouble(0.5);
    writer.writeGroup("*+#:@");
    writer.writeCString("text");
    writer.writeUnsharedString("raw");
    writer.writeClass(TypedStreamWriter::classChain("NSMutableData"));
    writer.writeSharedString("selector:");
    writer.writeObject(root);
    writer.writeGroup("[3i][4c]{Point=dd}[2{Pair=i@}]{Empty=}");
    for (int i = 0; i < 3; ++i)
        writer.writeInteger(i);
    writer.writeRaw("abcd");
    writer.writeDouble(1.5);
    writer.writeInteger(2);
    writer.writeInteger(9);
    writer.writeObject(ts::dict({ { "k", ts::bytes("v") } }));
    writer.writeInteger(8);
    writer.writeTag(TypedStreamWriter::nil);
    return writer.bytes();
}

// The classes other than the writer's defaults.
ArchivedValue otherClasses(TypedStreamWriter &writer)
{
    writer.setClassName(ArchivedValue::Kind::string, "NSMutableString");
    writer.setClassName(ArchivedValue::Kind::data, "NSMutableData");
    writer.setClassName(ArchivedValue::Kind::array, "NSArray");
    writer.setClassName(ArchivedValue::Kind::dictionary, "NSDictionary");
    return ts::dict({ { "s", ts::str("x") }, { "d", ts::bytes("y") }, { "a", ts::array({ ts::integer(1) }) } });
}

QByteArray manyObjects()
{
    ArchivedValue::Array elements;
    for (int i = 0; i < 260; ++i)
        elements.append(ts::integer(i));
    return TypedStreamWriter::archive(ArchivedValue::array(elements + elements));
}

ArchivedValue deepNesting()
{
    ArchivedValue value = ts::str("core");
    for (int level = 1; level < 60; ++level)
        value = ts::array({ value });
    return value;
}

} // namespace

int main(int argc, char **argv)
{
    CorpusSeeds seeds;
    for (const ByteOrder order : { ByteOrder::little, ByteOrder::big }) {
        const QString suffix = order == ByteOrder::little ? u"-le"_s : u"-be"_s;
        seeds.append({ u"collection"_s + suffix, TypedStreamWriter::archive(smallCollection(), order) });
        seeds.append({ u"numbers"_s + suffix, TypedStreamWriter::archive(everyNumber(), order) });
        seeds.append({ u"trailing-groups"_s + suffix, withTrailingGroups(order) });
    }
    seeds.append({ u"string"_s, TypedStreamWriter::archive(ts::str(u"Größe ✓"_s)) });
    seeds.append({ u"nil-root"_s, TypedStreamWriter::archive({}) });
    seeds.append({ u"many-objects"_s, manyObjects() });
    seeds.append({ u"deep-nesting"_s, TypedStreamWriter::archive(deepNesting()) });
    seeds.append({ u"shared-data"_s, TypedStreamWriter::archive(ts::sharedDataCollection(40, 47 * 1000)) });
    seeds.append({ u"nested-counts"_s, ts::nestedCountsArchive(60, 4096) });
    TypedStreamWriter writer;
    const ArchivedValue value = otherClasses(writer);
    writer.writeHeader();
    writer.writeGroup("@");
    writer.writeObject(value);
    seeds.append({ u"other-classes"_s, writer.bytes() });

    return writeCorpus(argc, argv, seeds, u".typedstream"_s);
}
