// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/typedstreamwriter.h"

#include <QRandomGenerator>
#include <QtEndian>

#include <bit>
#include <cstring>

namespace {

// A reference number n names the table entry n - referenceBase.
constexpr qint64 referenceBase = -110;

struct ClassInfo
{
    const char *name;
    int version;
    const char *superclass;
};

// The Foundation classes with the versions and superclasses the archiver writes.
constexpr ClassInfo foundationClasses[] = {
    { "NSObject", 0, nullptr },
    { "NSString", 1, "NSObject" },
    { "NSMutableString", 1, "NSString" },
    { "NSData", 0, "NSObject" },
    { "NSMutableData", 0, "NSData" },
    { "NSValue", 0, "NSObject" },
    { "NSNumber", 0, "NSValue" },
    { "NSArray", 0, "NSObject" },
    { "NSMutableArray", 0, "NSArray" },
    { "NSDictionary", 0, "NSObject" },
    { "NSMutableDictionary", 0, "NSDictionary" },
};

const ClassInfo *foundationClass(const QByteArray &name)
{
    for (const ClassInfo &info : foundationClasses) {
        if (name == info.name)
            return &info;
    }
    return nullptr;
}

} // namespace

TypedStreamWriter::TypedStreamWriter(ByteOrder order)
    : m_order(order)
{
    m_classNames[int(ArchivedValue::Kind::dictionary)] = "NSMutableDictionary";
    m_classNames[int(ArchivedValue::Kind::array)] = "NSMutableArray";
    m_classNames[int(ArchivedValue::Kind::string)] = "NSString";
    m_classNames[int(ArchivedValue::Kind::data)] = "NSData";
    m_classNames[int(ArchivedValue::Kind::number)] = "NSNumber";
    m_classNames[int(ArchivedValue::Kind::boolean)] = "NSNumber";
}

QByteArray TypedStreamWriter::archive(const ArchivedValue &root, ByteOrder order)
{
    TypedStreamWriter writer(order);
    writer.writeHeader();
    writer.writeGroup("@");
    writer.writeObject(root);
    return writer.bytes();
}

TypedStreamWriter::ClassChain TypedStreamWriter::classChain(const QByteArray &className)
{
    ClassChain chain;
    const ClassInfo *info = foundationClass(className);
    if (!info) {
        chain.append({ className, 0 });
        info = foundationClass("NSObject");
    }
    for (; info; info = info->superclass ? foundationClass(info->superclass) : nullptr)
        chain.append({ info->name, info->version });
    return chain;
}

void TypedStreamWriter::setClassName(ArchivedValue::Kind kind, const QByteArray &className)
{
    m_classNames[int(kind)] = className;
}

void TypedStreamWriter::writeHeader(quint8 version, const QByteArray &signature)
{
    const QByteArray text = !signature.isEmpty() ? signature
        : m_order == ByteOrder::little           ? QByteArray("streamtyped")
                                                 : QByteArray("typedstream");
    m_bytes.append(char(version));
    m_bytes.append(char(text.size()));
    m_bytes.append(text);
    writeUnsignedInteger(1000);
}

void TypedStreamWriter::writeGroup(const QByteArray &types)
{
    writeSharedString(types);
}

void TypedStreamWriter::writeObject(const ArchivedValue &value)
{
    if (value.isNil()) {
        writeTag(nil);
        return;
    }
    if (const auto known = m_objects.constFind(value.identity()); known != m_objects.cend()) {
        writeReference(*known);
        return;
    }
    m_objects.insert(value.identity(), m_objectCount);
    writeObjectStart(classChain(m_classNames[int(value.kind())]));
    writeContents(value);
    writeEndOfObject();
}

void TypedStreamWriter::writeObjectStart(const ClassChain &chain)
{
    writeTag(newItem);
    ++m_objectCount;
    writeClass(chain);
}

void TypedStreamWriter::writeClass(const ClassChain &chain)
{
    for (const auto &[name, version] : chain) {
        if (const auto known = m_classes.constFind(name); known != m_classes.cend()) {
            writeReference(*known);
            return;
        }
        writeTag(newItem);
        writeSharedString(name);
        writeInteger(version);
        m_classes.insert(name, m_objectCount++);
    }
    writeTag(nil);
}

void TypedStreamWriter::writeContents(const ArchivedValue &value)
{
    switch (value.kind()) {
    case ArchivedValue::Kind::string:
        writeGroup("+");
        writeUnsharedString(value.toString()->toUtf8());
        return;
    case ArchivedValue::Kind::data: {
        const QByteArray data = *value.toBytes();
        writeGroup("i");
        writeInteger(data.size());
        writeGroup('[' + QByteArray::number(data.size()) + "c]");
        writeRaw(data);
        return;
    }
    case ArchivedValue::Kind::number:
    case ArchivedValue::Kind::boolean:
        writeNumber(value.numberEncoding(), *value.numberValue());
        return;
    case ArchivedValue::Kind::array: {
        const ArchivedValue::Array elements = *value.toArray();
        writeGroup("i");
        writeInteger(elements.size());
        for (const ArchivedValue &element : elements) {
            writeGroup("@");
            writeObject(element);
        }
        return;
    }
    case ArchivedValue::Kind::dictionary: {
        const ArchivedValue::Dictionary pairs = *value.toDictionary();
        writeGroup("i");
        writeInteger(pairs.size());
        for (const auto &[key, element] : pairs) {
            writeGroup("@");
            writeObject(key);
            writeGroup("@");
            writeObject(element);
        }
        return;
    }
    case ArchivedValue::Kind::nil:
        return;
    }
}

void TypedStreamWriter::writeNumber(char encoding, const ArchivedValue::NumberValue &value)
{
    const QByteArray type(1, encoding);
    writeGroup("*");
    writeCString(type);
    writeGroup(type);
    const auto integral = [&value]() -> qint64 { return std::visit([](auto v) { return qint64(v); }, value); };
    const auto real = [&value]() -> double { return std::visit([](auto v) { return double(v); }, value); };
    switch (encoding) {
    case 'c':
    case 'C':
    case 'B':
        m_bytes.append(char(integral()));
        return;
    case 'f':
        writeFloat(float(real()));
        return;
    case 'd':
        writeDouble(real());
        return;
    case 'S':
    case 'I':
    case 'L':
    case 'Q':
        writeUnsignedInteger(quint64(integral()));
        return;
    default:
        writeInteger(integral());
        return;
    }
}

template <typename T> void TypedStreamWriter::writeFixed(T value)
{
    char buffer[sizeof(T)];
    if (m_order == ByteOrder::little)
        qToLittleEndian(value, buffer);
    else
        qToBigEndian(value, buffer);
    m_bytes.append(buffer, sizeof(T));
}

void TypedStreamWriter::writeInteger(qint64 value)
{
    if (value >= referenceBase && value <= 127) {
        m_bytes.append(char(value));
    } else if (value >= -32768 && value <= 32767) {
        writeTag(integer2);
        writeFixed(qint16(value));
    } else {
        writeTag(integer4);
        writeFixed(qint32(value));
    }
}

void TypedStreamWriter::writeUnsignedInteger(quint64 value)
{
    if (value <= 127) {
        m_bytes.append(char(value));
    } else if (value <= 0xffff) {
        writeTag(integer2);
        writeFixed(quint16(value));
    } else {
        writeTag(integer4);
        writeFixed(quint32(value));
    }
}

void TypedStreamWriter::writeFloat(float value)
{
    writeTag(real);
    writeFixed(std::bit_cast<quint32>(value));
}

void TypedStreamWriter::writeDouble(double value)
{
    writeTag(real);
    writeFixed(std::bit_cast<quint64>(value));
}

void TypedStreamWriter::writeSharedString(const QByteArray &text)
{
    if (const auto known = m_strings.constFind(text); known != m_strings.cend()) {
        writeReference(*known);
        return;
    }
    writeTag(newItem);
    writeUnsharedString(text);
    m_strings.insert(text, m_strings.size());
}

void TypedStreamWriter::writeUnsharedString(const QByteArray &text)
{
    writeInteger(text.size());
    writeRaw(text);
}

void TypedStreamWriter::writeCString(const QByteArray &text)
{
    if (const auto known = m_cStrings.constFind(text); known != m_cStrings.cend()) {
        writeReference(*known);
        return;
    }
    writeTag(newItem);
    m_cStrings.insert(text, m_objectCount++);
    writeSharedString(text);
}

void TypedStreamWriter::writeReference(qint64 index)
{
    writeInteger(index + referenceBase);
}

namespace ts {

ArchivedValue str(const QString &text)
{
    return ArchivedValue::string(text);
}

ArchivedValue str(const char *text)
{
    return ArchivedValue::string(QString::fromUtf8(text));
}

ArchivedValue bytes(const QByteArray &data)
{
    return ArchivedValue::data(data);
}

ArchivedValue integer(qint64 value, char encoding)
{
    return ArchivedValue::number(encoding, value);
}

ArchivedValue unsignedInteger(quint64 value, char encoding)
{
    return ArchivedValue::number(encoding, value);
}

ArchivedValue real(double value, char encoding)
{
    return ArchivedValue::number(encoding, value);
}

ArchivedValue boolean(bool value)
{
    return ArchivedValue::boolean(value);
}

ArchivedValue array(std::initializer_list<ArchivedValue> elements)
{
    return ArchivedValue::array(ArchivedValue::Array(elements));
}

Key::Key(const char *text)
    : value(str(text))
{ }

Key::Key(ArchivedValue value)
    : value(std::move(value))
{ }

ArchivedValue dict(std::initializer_list<std::pair<Key, ArchivedValue>> pairs)
{
    ArchivedValue::Dictionary dictionary;
    dictionary.reserve(qsizetype(pairs.size()));
    for (const auto &[key, value] : pairs)
        dictionary.append({ key.value, value });
    return ArchivedValue::dictionary(std::move(dictionary));
}

ArchivedValue iconCollection(int count, qsizetype dataSize)
{
    QRandomGenerator random(7);
    const ArchivedValue type = str("Type");
    const ArchivedValue icnsType = str("IcnsFile");
    const ArchivedValue icnsData = str("IcnsData");
    ArchivedValue::Dictionary icons;
    ArchivedValue::Array order;
    for (int i = 0; i < count; ++i) {
        QByteArray data(dataSize + i, '\0');
        for (qsizetype at = 0; at + 4 <= data.size(); at += 4) {
            const quint32 word = random.generate();
            std::memcpy(data.data() + at, &word, 4);
        }
        const ArchivedValue name = str(QStringLiteral("Icon %1").arg(i));
        icons.append({ name, dict({ { type, icnsType }, { icnsData, bytes(data) } }) });
        order.append(name);
    }
    return dict({ { "Icons", ArchivedValue::dictionary(icons) }, { "IconOrder", ArchivedValue::array(order) } });
}

ArchivedValue sharedDataCollection(int count, qsizetype dataSize)
{
    const ArchivedValue type = str("Type");
    const ArchivedValue icnsType = str("IcnsFile");
    const ArchivedValue icnsData = str("IcnsData");
    const ArchivedValue data = bytes(QByteArray(dataSize, 'd'));
    ArchivedValue::Dictionary icons;
    for (int i = 0; i < count; ++i)
        icons.append({ str(QStringLiteral("Icon %1").arg(i)), dict({ { type, icnsType }, { icnsData, data } }) });
    return dict({ { "Icons", ArchivedValue::dictionary(icons) } });
}

QByteArray nestedCountsArchive(int depth, qsizetype padding)
{
    TypedStreamWriter writer;
    writer.writeHeader();
    for (int level = 0; level < depth; ++level) {
        writer.writeGroup("@");
        writer.writeObjectStart(TypedStreamWriter::classChain("NSArray"));
        writer.writeGroup("i");
        // Two bytes per element is the least an element takes.
        writer.writeInteger((padding + 8 * (depth - level)) / 2);
    }
    writer.writeRaw(QByteArray(padding, '\0'));
    return writer.bytes();
}

} // namespace ts
