// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/archives/typedstreamreader.h"

#include "platform/text/logging.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <unordered_map>
#include <vector>

// Why an archive was refused; off unless asked for, since refusing hostile input is routine.

namespace {

// Head bytes from -128 to -111 are tags; every other head is a literal small integer.
namespace Tag {
constexpr qint8 integer2 = -127;
constexpr qint8 integer4 = -126;
constexpr qint8 real = -125;
constexpr qint8 newItem = -124;
constexpr qint8 nil = -123;
constexpr qint8 endOfObject = -122;
constexpr qint8 highest = -111;
} // namespace Tag

// A reference number n names the table entry n - referenceBase.
constexpr qint64 referenceBase = -110;

// Struct and array encodings nest only a few levels in practice.
constexpr int maxEncodingDepth = 16;
constexpr qint64 sizeCap = qint64(1) << 40;

// How far the tree may expand beyond the input: its size written out with nothing shared, data
// blobs reached again through references left out, may be at most this many times the input's,
// plus the allowance, which small archives of shared key strings need. A shared data blob is held
// once and costs a walk of the tree nothing; what a consumer writes out of it is its own to bound.
constexpr qint64 maxExpansion = 8;
constexpr qint64 expansionAllowance = qint64(1) << 20;
// The most elements reserved ahead for an array or dictionary; larger ones grow as they are read.
constexpr qint64 maxReservedElements = 1024;

enum class ClassKind { string, data, number, array, dictionary, superclassOnly };

struct KnownClass
{
    QByteArrayView name;
    ClassKind kind;
};

constexpr KnownClass knownClasses[] = {
    { "NSString", ClassKind::string },
    { "NSMutableString", ClassKind::string },
    { "NSData", ClassKind::data },
    { "NSMutableData", ClassKind::data },
    { "NSNumber", ClassKind::number },
    { "NSArray", ClassKind::array },
    { "NSMutableArray", ClassKind::array },
    { "NSDictionary", ClassKind::dictionary },
    { "NSMutableDictionary", ClassKind::dictionary },
    { "NSValue", ClassKind::superclassOnly },
    { "NSObject", ClassKind::superclassOnly },
};

bool isNumberEncoding(char code)
{
    return QByteArrayView("cCBsSiIlLqQfd").contains(code);
}

bool isUnsignedEncoding(char code)
{
    return code == 'S' || code == 'I' || code == 'L' || code == 'Q';
}

// The parser stops at the first fault by throwing this; read() catches it, nothing escapes.
struct Malformed
{
    const char *reason;
};

[[noreturn]] void fail(const char *reason)
{
    throw Malformed { reason };
}

qint64 saturatingProduct(qint64 a, qint64 b)
{
    if (b != 0 && a > sizeCap / b)
        return sizeCap;
    return std::min(a * b, sizeCap);
}

// One parsed type encoding of a group, with the fewest stream bytes a value of it can take.
struct Encoding
{
    char code = 0;
    qint64 count = 0; // arrays
    std::vector<Encoding> fields; // arrays: the element; structs: the fields
    qint64 minimumSize = 1;
};

class Parser
{
public:
    explicit Parser(QByteArrayView input)
        : m_input(input)
        , m_maxExpandedSize(std::min(sizeCap, maxExpansion * input.size() + expansionAllowance))
    { }

    ArchivedValue parseArchive();
    qsizetype position() const { return m_pos; }

private:
    enum class EntryKind { object, classEntry, cString };
    // One entry of the object table: an object (its value once complete), a class or a C string.
    struct Entry
    {
        EntryKind kind;
        bool complete = false;
        ArchivedValue value {};
        qint64 expandedSize = 0; // objects: see addExpanded()
        qint64 dataBytes = 0; // objects: the bytes of data blobs within expandedSize
        QByteArrayView text {};
        ClassKind classKind = ClassKind::superclassOnly;
        qint64 version = 0;
        qsizetype superclass = -1;
    };

    qsizetype remaining() const { return m_input.size() - m_pos; }
    void need(qint64 size) const;
    QByteArrayView take(qint64 size);
    quint8 rawByte();
    qint8 head() { return qint8(rawByte()); }
    template <typename T> T fixed();

    qint64 integerFrom(qint8 head, bool isUnsigned);
    double real(bool isFloat);
    qsizetype referenceFrom(qint8 head);
    std::optional<QByteArrayView> unsharedStringFrom(qint8 head);
    std::optional<QByteArrayView> sharedString();
    QByteArrayView requiredSharedString();
    void expectGroup(QByteArrayView types);
    // A group "i" holding a length or count; refused when that many items of at least
    // `bytesPerItem` bytes cannot follow.
    qint64 countGroup(qint64 bytesPerItem);
    std::optional<QByteArrayView> cString();
    qsizetype classAt(qsizetype index) const;
    std::optional<qsizetype> classValue();
    void addExpanded(qint64 &total, qint64 size) const;
    // An "@" value; adds its expanded size to `expanded` and the bytes of data blobs it newly
    // holds to `dataBytes`.
    ArchivedValue object(qint64 &expanded, qint64 &dataBytes);
    // The contents of a new object of `kind`; sets `expanded` to the object's expanded size and
    // `dataBytes` to the bytes of the data blobs within it.
    ArchivedValue contents(ClassKind kind, qint64 &expanded, qint64 &dataBytes);
    ArchivedValue number();
    ArchivedValue::NumberValue scalar(char code);

    Encoding parseEncoding(QByteArrayView types, qsizetype &pos, int depth) const;
    void skipValue(const Encoding &encoding);
    void skipGroup();

    QByteArrayView m_input;
    qint64 m_maxExpandedSize;
    qsizetype m_pos = 0;
    bool m_bigEndian = false;
    int m_depth = 0;
    // Views into the input, which outlives the parser.
    std::vector<QByteArrayView> m_strings;
    std::vector<Entry> m_objects;
    // The encodings of each group type string met after the root, parsed once and without the
    // ones that take no bytes: a reference names a long type string again for one byte, so
    // parsing or walking it each time would make the reader quadratic.
    std::unordered_map<const char *, std::vector<Encoding>> m_trailingEncodings;
};

void Parser::need(qint64 size) const
{
    if (size < 0 || size > remaining())
        fail("length or count past the end of the data");
}

QByteArrayView Parser::take(qint64 size)
{
    need(size);
    const QByteArrayView bytes = m_input.sliced(m_pos, size);
    m_pos += size;
    return bytes;
}

quint8 Parser::rawByte()
{
    need(1);
    return quint8(m_input[m_pos++]);
}

template <typename T> T Parser::fixed()
{
    const QByteArrayView bytes = take(sizeof(T));
    return m_bigEndian ? qFromBigEndian<T>(bytes.data()) : qFromLittleEndian<T>(bytes.data());
}

qint64 Parser::integerFrom(qint8 head, bool isUnsigned)
{
    switch (head) {
    case Tag::integer2:
        return isUnsigned ? qint64(fixed<quint16>()) : qint64(fixed<qint16>());
    case Tag::integer4:
        return isUnsigned ? qint64(fixed<quint32>()) : qint64(fixed<qint32>());
    default:
        if (head <= Tag::highest)
            fail("tag where an integer belongs");
        return isUnsigned ? qint64(quint8(head)) : qint64(head);
    }
}

double Parser::real(bool isFloat)
{
    const qint8 h = head();
    if (h == Tag::real)
        return isFloat ? double(std::bit_cast<float>(fixed<quint32>())) : std::bit_cast<double>(fixed<quint64>());
    // Integral values are stored as plain integers.
    const qint64 integer = integerFrom(h, false);
    return isFloat ? double(float(integer)) : double(integer);
}

qsizetype Parser::referenceFrom(qint8 head)
{
    return qsizetype(integerFrom(head, false) - referenceBase);
}

std::optional<QByteArrayView> Parser::unsharedStringFrom(qint8 head)
{
    if (head == Tag::nil)
        return std::nullopt;
    return take(integerFrom(head, true));
}

std::optional<QByteArrayView> Parser::sharedString()
{
    const qint8 h = head();
    if (h == Tag::nil)
        return std::nullopt;
    if (h == Tag::newItem) {
        const std::optional<QByteArrayView> text = unsharedStringFrom(head());
        if (!text)
            fail("new shared string without text");
        m_strings.push_back(*text);
        return text;
    }
    const qsizetype index = referenceFrom(h);
    if (index < 0 || index >= qsizetype(m_strings.size()))
        fail("shared-string reference to an entry not yet read");
    return m_strings[std::size_t(index)];
}

QByteArrayView Parser::requiredSharedString()
{
    const std::optional<QByteArrayView> text = sharedString();
    if (!text)
        fail("nil where a string belongs");
    return *text;
}

void Parser::expectGroup(QByteArrayView types)
{
    if (requiredSharedString() != types)
        fail("group of an unexpected type");
}

std::optional<QByteArrayView> Parser::cString()
{
    const qint8 h = head();
    if (h == Tag::nil)
        return std::nullopt;
    if (h == Tag::newItem) {
        const QByteArrayView text = requiredSharedString();
        m_objects.push_back(Entry { .kind = EntryKind::cString, .text = text });
        return text;
    }
    const qsizetype index = referenceFrom(h);
    if (index < 0 || index >= qsizetype(m_objects.size()))
        fail("C-string reference to an entry not yet read");
    const Entry &entry = m_objects[std::size_t(index)];
    if (entry.kind != EntryKind::cString)
        fail("C-string reference to another kind of entry");
    return entry.text;
}

qsizetype Parser::classAt(qsizetype index) const
{
    if (index < 0 || index >= qsizetype(m_objects.size()))
        fail("class reference to an entry not yet read");
    if (m_objects[std::size_t(index)].kind != EntryKind::classEntry)
        fail("class reference to another kind of entry");
    return index;
}

std::optional<qsizetype> Parser::classValue()
{
    qint8 h = head();
    if (h == Tag::nil)
        return std::nullopt;
    if (h != Tag::newItem)
        return classAt(referenceFrom(h));
    // A chain of literal classes, each the superclass of the one before, ended by nil (a root
    // class) or by a class read earlier.
    qsizetype first = -1;
    qsizetype previous = -1;
    while (h == Tag::newItem) {
        const QByteArrayView name = requiredSharedString();
        const auto known = std::find_if(
            std::begin(knownClasses), std::end(knownClasses), [name](const KnownClass &c) { return c.name == name; });
        if (known == std::end(knownClasses))
            fail("unknown class");
        const qint64 version = integerFrom(head(), false);
        const auto index = qsizetype(m_objects.size());
        m_objects.push_back(
            Entry { .kind = EntryKind::classEntry, .text = name, .classKind = known->kind, .version = version });
        if (previous >= 0)
            m_objects[std::size_t(previous)].superclass = index;
        else
            first = index;
        previous = index;
        h = head();
    }
    if (h != Tag::nil)
        m_objects[std::size_t(previous)].superclass = classAt(referenceFrom(h));
    return first;
}

// An object's expanded size is what it would take written out with nothing shared: one for the
// object and the bytes of its string or data, plus that of everything it holds. A reference costs
// the stream a byte or three yet stands for the whole object, so a few kilobytes could otherwise
// make a consumer that walks the tree (looking up keys, reading each icon's data) do gigabytes of work.
void Parser::addExpanded(qint64 &total, qint64 size) const
{
    total = std::min(total + size, sizeCap);
    if (total > m_maxExpandedSize)
        fail("objects shared so widely that the archive expands too far");
}

ArchivedValue Parser::object(qint64 &expanded, qint64 &dataBytes)
{
    const qint8 h = head();
    if (h == Tag::nil)
        return {};
    if (h != Tag::newItem) {
        const qsizetype index = referenceFrom(h);
        if (index < 0 || index >= qsizetype(m_objects.size()))
            fail("object reference to an entry not yet read");
        const Entry &entry = m_objects[std::size_t(index)];
        if (entry.kind != EntryKind::object)
            fail("object reference to another kind of entry");
        // An object that contains itself cannot become a tree.
        if (!entry.complete)
            fail("object reference to an object still being read");
        // Its data blobs are shared, not copied: only its structure and text count again.
        addExpanded(expanded, entry.expandedSize - entry.dataBytes);
        return entry.value;
    }
    if (++m_depth > TypedStreamReader::maxDepth)
        fail("objects nested too deeply");
    // The object takes its table entry before its class.
    const auto index = qsizetype(m_objects.size());
    m_objects.push_back(Entry { .kind = EntryKind::object });
    const std::optional<qsizetype> objectClass = classValue();
    if (!objectClass)
        fail("object without a class");
    qint64 own = 0;
    qint64 ownData = 0;
    ArchivedValue value = contents(m_objects[std::size_t(*objectClass)].classKind, own, ownData);
    if (head() != Tag::endOfObject)
        fail("trailing data inside an object");
    Entry &entry = m_objects[std::size_t(index)];
    entry.value = value;
    entry.expandedSize = own;
    entry.dataBytes = ownData;
    entry.complete = true;
    addExpanded(expanded, own);
    dataBytes += ownData;
    --m_depth;
    return value;
}

qint64 Parser::countGroup(qint64 bytesPerItem)
{
    expectGroup("i");
    const qint64 count = integerFrom(head(), false);
    need(saturatingProduct(count, bytesPerItem));
    return count;
}

ArchivedValue Parser::contents(ClassKind kind, qint64 &expanded, qint64 &dataBytes)
{
    expanded = 1;
    dataBytes = 0;
    switch (kind) {
    case ClassKind::string: {
        expectGroup("+");
        const std::optional<QByteArrayView> bytes = unsharedStringFrom(head());
        if (!bytes)
            fail("string without characters");
        QStringDecoder decoder(
            QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString text = decoder.decode(*bytes);
        if (decoder.hasError())
            fail("string that is not UTF-8");
        addExpanded(expanded, bytes->size());
        return ArchivedValue::string(std::move(text));
    }
    case ClassKind::data: {
        const qint64 length = countGroup(1);
        expectGroup(QByteArray('[' + QByteArray::number(length) + 'c' + ']'));
        QByteArray bytes = take(length).toByteArray();
        addExpanded(expanded, length);
        dataBytes = length;
        return ArchivedValue::data(std::move(bytes));
    }
    case ClassKind::number:
        return number();
    case ClassKind::array: {
        // Each element takes at least two bytes: its group's type and the object's head.
        const qint64 count = countGroup(2);
        ArchivedValue::Array elements;
        // Nested containers each claim the rest of the input; reserving every claim in full would
        // take memory many times the input's. Growing as elements arrive stays linear in it.
        elements.reserve(std::min(count, maxReservedElements));
        for (qint64 i = 0; i < count; ++i) {
            expectGroup("@");
            ArchivedValue element = object(expanded, dataBytes);
            if (element.isNil())
                fail("nil inside an array");
            elements.append(std::move(element));
        }
        return ArchivedValue::array(std::move(elements));
    }
    case ClassKind::dictionary: {
        const qint64 count = countGroup(4);
        ArchivedValue::Dictionary pairs;
        pairs.reserve(std::min(count, maxReservedElements));
        for (qint64 i = 0; i < count; ++i) {
            expectGroup("@");
            ArchivedValue key = object(expanded, dataBytes);
            expectGroup("@");
            ArchivedValue value = object(expanded, dataBytes);
            if (key.isNil() || value.isNil())
                fail("nil inside a dictionary");
            pairs.append({ std::move(key), std::move(value) });
        }
        return ArchivedValue::dictionary(std::move(pairs));
    }
    case ClassKind::superclassOnly:
        break;
    }
    fail("object of a class without known contents");
}

ArchivedValue Parser::number()
{
    // NSNumber: its type encoding as a C string, then one value of that type.
    expectGroup("*");
    const std::optional<QByteArrayView> type = cString();
    if (!type || type->size() != 1 || !isNumberEncoding(type->front()))
        fail("number of an unknown type");
    expectGroup(*type);
    const char code = type->front();
    return ArchivedValue::number(code, scalar(code));
}

ArchivedValue::NumberValue Parser::scalar(char code)
{
    switch (code) {
    case 'c':
        return qint64(qint8(rawByte()));
    case 'B':
        return qint64(rawByte());
    case 'C':
        return quint64(rawByte());
    case 's':
        return qint64(qint16(integerFrom(head(), false)));
    case 'S':
        return quint64(quint16(integerFrom(head(), true)));
    case 'f':
    case 'd':
        return real(code == 'f');
    default:
        if (isUnsignedEncoding(code))
            return quint64(integerFrom(head(), true));
        return integerFrom(head(), false);
    }
}

Encoding Parser::parseEncoding(QByteArrayView types, qsizetype &pos, int depth) const
{
    if (depth > maxEncodingDepth)
        fail("type encoding nested too deeply");
    if (pos >= types.size())
        fail("incomplete type encoding");
    Encoding encoding;
    encoding.code = types[pos++];
    if (QByteArrayView("cCBsSiIlLqQfd*+#@:").contains(encoding.code))
        return encoding;
    if (encoding.code == '[') {
        const qsizetype digitsStart = pos;
        while (pos < types.size() && types[pos] >= '0' && types[pos] <= '9') {
            encoding.count = encoding.count * 10 + (types[pos] - '0');
            if (encoding.count > sizeCap)
                fail("array encoding too long");
            ++pos;
        }
        if (pos == digitsStart)
            fail("array encoding without a count");
        encoding.fields.push_back(parseEncoding(types, pos, depth + 1));
        if (pos >= types.size() || types[pos++] != ']')
            fail("unterminated array encoding");
        encoding.minimumSize = saturatingProduct(encoding.count, encoding.fields.front().minimumSize);
        return encoding;
    }
    if (encoding.code == '{') {
        while (pos < types.size() && types[pos] != '=') {
            if (QByteArrayView("{}[]").contains(types[pos]))
                fail("struct encoding without fields");
            ++pos;
        }
        if (pos++ >= types.size())
            fail("unterminated struct encoding");
        encoding.minimumSize = 0;
        while (pos < types.size() && types[pos] != '}') {
            Encoding field = parseEncoding(types, pos, depth + 1);
            // A field that takes no bytes has nothing to skip; kept, it would cost time for none.
            if (field.minimumSize == 0)
                continue;
            encoding.minimumSize = std::min(encoding.minimumSize + field.minimumSize, sizeCap);
            encoding.fields.push_back(std::move(field));
        }
        if (pos++ >= types.size())
            fail("unterminated struct encoding");
        return encoding;
    }
    fail("unknown type encoding");
}

void Parser::skipValue(const Encoding &encoding)
{
    switch (encoding.code) {
    case '*':
        cString();
        return;
    case '+':
        unsharedStringFrom(head());
        return;
    case '#':
        classValue();
        return;
    case '@': {
        qint64 expanded = 0;
        qint64 dataBytes = 0;
        object(expanded, dataBytes);
        return;
    }
    case ':':
        sharedString();
        return;
    case '[': {
        need(encoding.minimumSize);
        const Encoding &element = encoding.fields.front();
        if (element.code == 'c' || element.code == 'C') {
            take(encoding.count);
            return;
        }
        // Elements that take no bytes (empty structs) hold nothing to read.
        if (element.minimumSize == 0)
            return;
        for (qint64 i = 0; i < encoding.count; ++i)
            skipValue(element);
        return;
    }
    case '{':
        for (const Encoding &field : encoding.fields)
            skipValue(field);
        return;
    default:
        scalar(encoding.code);
        return;
    }
}

void Parser::skipGroup()
{
    const QByteArrayView types = requiredSharedString();
    if (types.isEmpty())
        fail("group without a type");
    // Each literal shared string is a view of its own place in the input, so its address names it.
    const auto [found, isNew] = m_trailingEncodings.try_emplace(types.data());
    if (isNew) {
        qsizetype pos = 0;
        while (pos < types.size()) {
            Encoding encoding = parseEncoding(types, pos, 0);
            if (encoding.minimumSize > 0)
                found->second.push_back(std::move(encoding));
        }
    }
    // Every encoding left takes at least one byte, so the walk is bounded by the bytes it reads.
    for (const Encoding &encoding : found->second)
        skipValue(encoding);
}

ArchivedValue Parser::parseArchive()
{
    const quint8 version = rawByte();
    if (version == 3)
        fail("streamer version 3, an old variant");
    if (version != 4)
        fail("unknown streamer version");
    if (rawByte() != 11)
        fail("no archive signature");
    const QByteArrayView signature = take(11);
    if (signature == "typedstream")
        m_bigEndian = true;
    else if (signature != "streamtyped")
        fail("no archive signature");
    integerFrom(head(), true); // the system version, which changes nothing we read
    expectGroup("@");
    qint64 expanded = 0;
    qint64 dataBytes = 0;
    ArchivedValue root = object(expanded, dataBytes);
    // Further groups are read to check them, and ignored.
    while (remaining() > 0)
        skipGroup();
    return root;
}

} // namespace

std::optional<ArchivedValue> TypedStreamReader::read(const QByteArray &bytes)
{
    if (bytes.size() > maxFileSize) {
        qCDebug(lcTypedStream) << "archive too large:" << bytes.size() << "bytes";
        return std::nullopt;
    }
    Parser parser(bytes);
    try {
        return parser.parseArchive();
    } catch (const Malformed &error) {
        qCDebug(lcTypedStream) << "not a readable archive:" << error.reason << "at byte" << parser.position();
        return std::nullopt;
    }
}

std::optional<ArchivedValue> TypedStreamReader::readFile(const QString &path)
{
    // Only regular files: opening a FIFO would wait for a writer, a device might never end.
    if (!QFileInfo(path).isFile()) {
        qCDebug(lcTypedStream) << "not a regular file:" << path;
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcTypedStream) << "cannot open" << path << file.errorString();
        return std::nullopt;
    }
    if (!file.isSequential() && file.size() > maxFileSize) {
        qCDebug(lcTypedStream) << "archive too large:" << path;
        return std::nullopt;
    }
    // Read in chunks up to one byte past the limit, so that devices and files that grow while
    // being read stay bounded too.
    constexpr qint64 chunk = qint64(1) << 20;
    QByteArray bytes;
    bytes.reserve(file.isSequential() ? chunk : qsizetype(file.size() + chunk));
    while (true) {
        const qsizetype filled = bytes.size();
        const qint64 wanted = std::min(chunk, maxFileSize + 1 - filled);
        bytes.resize(filled + wanted);
        const qint64 got = file.read(bytes.data() + filled, wanted);
        if (got < 0) {
            qCDebug(lcTypedStream) << "cannot read" << path << file.errorString();
            return std::nullopt;
        }
        bytes.resize(filled + got);
        if (bytes.size() > maxFileSize) {
            qCDebug(lcTypedStream) << "archive too large:" << path;
            return std::nullopt;
        }
        if (got == 0)
            break;
    }
    return read(bytes);
}
