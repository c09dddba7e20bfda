// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/archives/archivedvalue.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <array>
#include <initializer_list>
#include <utility>

// Writes older, non-keyed archives the way the platform's archiver does, for tests, fuzz seeds
// and samples: class chains with versions up to NSObject, each shared string and each class
// written once and then referenced, each object (by identity: copies of one ArchivedValue) written
// once and then referenced, and integers in their shortest head form.
//
// archive() makes a whole archive of a value tree. The write* building blocks put single items in
// stream order and keep the same tables a reader keeps, so a test can also make malformed
// archives: forward references, references to the wrong kind of entry, unknown classes, bad
// lengths. Patching or truncating bytes() does the rest.
class TypedStreamWriter
{
public:
    enum class ByteOrder { little, big };
    // The head bytes that are tags.
    enum Tag : qint8 { integer2 = -127, integer4 = -126, real = -125, newItem = -124, nil = -123, endOfObject = -122 };
    // Class names with versions, the object's own class first.
    using ClassChain = QList<std::pair<QByteArray, int>>;

    explicit TypedStreamWriter(ByteOrder order = ByteOrder::little);

    // The whole archive of `root`: header, then the root object as one group "@".
    static QByteArray archive(const ArchivedValue &root, ByteOrder order = ByteOrder::little);
    // The chain the archiver writes for a Foundation class, e.g. NSMutableDictionary, NSDictionary,
    // NSObject (each version 0); an unknown name gives itself (version 0) above NSObject.
    static ClassChain classChain(const QByteArray &className);

    // The class written for new objects of a kind. Defaults: NSMutableDictionary, NSMutableArray,
    // NSString, NSData and NSNumber (also for booleans).
    void setClassName(ArchivedValue::Kind kind, const QByteArray &className);

    // Version 4, the signature of the byte order (or `signature`), the system version 1000.
    void writeHeader(quint8 version = 4, const QByteArray &signature = {});
    // A group's type encoding: the shared string that opens every group.
    void writeGroup(const QByteArray &types);
    // An "@" value: nil, a reference to an object written before, or a new object.
    void writeObject(const ArchivedValue &value);
    // Opens a new object of the class chain; the test then writes its groups and writeEndOfObject().
    void writeObjectStart(const ClassChain &chain);
    void writeEndOfObject() { writeTag(endOfObject); }
    // A "#" value: literal classes until one written before (referenced), else nil.
    void writeClass(const ClassChain &chain);

    void writeInteger(qint64 value);
    void writeUnsignedInteger(quint64 value);
    // Always the -125 form with 4 or 8 bytes.
    void writeFloat(float value);
    void writeDouble(double value);
    void writeSharedString(const QByteArray &text);
    void writeUnsharedString(const QByteArray &text);
    // A "*" value: new the first time (an object-table entry), then referenced.
    void writeCString(const QByteArray &text);
    // A reference to entry `index` of the object or shared-string table (any index, for bad cases).
    void writeReference(qint64 index);
    void writeTag(Tag tag) { m_bytes.append(char(tag)); }
    void writeRaw(const QByteArray &bytes) { m_bytes.append(bytes); }

    // Entries so far in the object table (objects, classes, C strings) and the shared-string table.
    qsizetype objectCount() const { return m_objectCount; }
    qsizetype sharedStringCount() const { return m_strings.size(); }
    // The object-table index of a class written before; -1 when it was not.
    qsizetype classIndex(const QByteArray &className) const { return m_classes.value(className, -1); }
    const QByteArray &bytes() const { return m_bytes; }

private:
    template <typename T> void writeFixed(T value);
    void writeContents(const ArchivedValue &value);
    void writeNumber(char encoding, const ArchivedValue::NumberValue &value);

    ByteOrder m_order;
    QByteArray m_bytes;
    qsizetype m_objectCount = 0;
    QHash<QByteArray, qsizetype> m_strings;
    QHash<QByteArray, qsizetype> m_classes;
    QHash<QByteArray, qsizetype> m_cStrings;
    QHash<const void *, qsizetype> m_objects;
    std::array<QByteArray, 7> m_classNames;
};

// Short builders for test values: dict({{"Icons", dict({})}, {"IconOrder", array({str("a")})}}).
namespace ts {
ArchivedValue str(const QString &text);
ArchivedValue str(const char *text);
ArchivedValue bytes(const QByteArray &data);
ArchivedValue integer(qint64 value, char encoding = 'i');
ArchivedValue unsignedInteger(quint64 value, char encoding = 'I');
ArchivedValue real(double value, char encoding = 'd');
ArchivedValue boolean(bool value);
ArchivedValue array(std::initializer_list<ArchivedValue> elements);
// A dictionary key: any value, or text that becomes a new string object. Converts implicitly so
// that pairs read as {"Icons", value}.
struct Key
{
    Key(const char *text);
    Key(ArchivedValue value);
    ArchivedValue value;
};
ArchivedValue dict(std::initializer_list<std::pair<Key, ArchivedValue>> pairs);
// A root dictionary as the older application writes one: "Icons" with `count` ICNS icons named
// "Icon 0", "Icon 1", … of `dataSize` + index pseudo-random bytes each (the same on every call),
// and "IconOrder" naming them; key strings are shared objects, as constant strings are.
ArchivedValue iconCollection(int count, qsizetype dataSize);
// The same with `count` icons that all share one data object of `dataSize` bytes, stored once.
ArchivedValue sharedDataCollection(int count, qsizetype dataSize);
// `depth` arrays nested in one another, each announcing as many elements as the bytes after it
// could hold, followed by `padding` bytes that are no objects at all.
QByteArray nestedCountsArchive(int depth, qsizetype padding);
} // namespace ts
