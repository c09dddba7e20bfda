// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/containerjson.h"

#include "model/jsonscanner.h"
#include "model/strictjson.h"
#include "platform/text/translationcontext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <array>
#include <cmath>
#include <string_view>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr TranslationContext tr { "ContainerJson" };

// --- encoding

QJsonObject encodeColor(const RGBAColor &color)
{
    return QJsonObject {
        { u"red"_s, color.red },
        { u"green"_s, color.green },
        { u"blue"_s, color.blue },
        { u"alpha"_s, color.alpha },
    };
}

QJsonObject encodeIcon(const Icon &icon)
{
    QJsonObject object {
        { u"name"_s, icon.name },
        { u"type"_s, rawValue(icon.type) },
        { u"author"_s, icon.author },
        { u"copyright"_s, icon.copyright },
        { u"authorURL"_s, icon.authorURL },
    };
    if (icon.filename)
        object.insert(u"filename"_s, *icon.filename);
    return object;
}

// --- decoding

// Says where in the document a value lies ("icons[2].type") for the message of a failure.
QString childPath(const QString &parent, const QString &key)
{
    return parent.isEmpty() ? key : parent + u'.' + key;
}

// Reads the values of one JSON object. The first failure is kept in `failure`, shared by the
// readers of nested objects, and every later read gives an empty value, so that the decoder reads
// straight through and checks once at the end.
class Reader
{
public:
    Reader(const QJsonObject &object, QString path, QString *failure)
        : m_object(object)
        , m_path(std::move(path))
        , m_failure(failure)
    { }

    bool failed() const { return !m_failure->isEmpty(); }

    QJsonValue required(const QString &key) const
    {
        if (failed())
            return {};
        const auto it = m_object.constFind(key);
        if (it == m_object.constEnd()) {
            fail(tr("The key “%1” is missing.").arg(childPath(m_path, key)));
            return {};
        }
        return *it;
    }

    // None when the key is absent or holds null.
    std::optional<QJsonValue> optional(const QString &key) const
    {
        const auto it = m_object.constFind(key);
        if (failed() || it == m_object.constEnd() || it->isNull())
            return std::nullopt;
        return *it;
    }

    QString string(const QString &key) const { return asString(required(key), key); }
    std::optional<QString> optionalString(const QString &key) const
    {
        const auto value = optional(key);
        return value ? std::optional(asString(*value, key)) : std::nullopt;
    }

    bool boolean(const QString &key) const
    {
        const QJsonValue value = required(key);
        if (!value.isBool())
            wrongType(key, tr("true or false"));
        return value.toBool();
    }

    double number(const QString &key) const
    {
        const QJsonValue value = required(key);
        // A number too large for a double is not one we can keep or write back.
        if (!value.isDouble() || !std::isfinite(value.toDouble())) {
            wrongType(key, tr("a number"));
            return 0;
        }
        return value.toDouble();
    }

    QJsonObject object(const QJsonValue &value, const QString &key) const
    {
        if (!value.isObject())
            wrongType(key, tr("an object"));
        return value.toObject();
    }

    QJsonArray array(const QString &key) const
    {
        const QJsonValue value = required(key);
        if (!value.isArray())
            wrongType(key, tr("an array"));
        return value.toArray();
    }

    // Records that the value at `key` is not what the document must hold there.
    void wrongType(const QString &key, const QString &expected) const
    {
        fail(tr("The value of “%1” is not %2.").arg(childPath(m_path, key), expected));
    }

private:
    void fail(const QString &message) const
    {
        if (!failed())
            *m_failure = message;
    }

    QString asString(const QJsonValue &value, const QString &key) const
    {
        if (!value.isString())
            wrongType(key, tr("a string"));
        return value.toString();
    }

    QJsonObject m_object;
    QString m_path;
    QString *m_failure;
};

// Standard Base64 exactly: the 64-letter alphabet, padded to a multiple of four with at most two
// "=" at the very end. Qt alone would also take unpadded text.
std::optional<QByteArray> decodeStrictBase64(const QString &text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    qsizetype padding = 0;
    if (text.endsWith(u"=="))
        padding = 2;
    else if (text.endsWith(u'='))
        padding = 1;
    for (qsizetype i = 0; i < text.size() - padding; ++i) {
        const char16_t c = text[i].unicode();
        const bool inAlphabet = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')
            || c == u'+' || c == u'/';
        if (!inAlphabet)
            return std::nullopt;
    }
    auto result = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    return std::move(result.decoded);
}

RGBAColor decodeColor(const QJsonObject &object, const QString &path, QString *failure)
{
    const Reader reader(object, path, failure);
    return RGBAColor {
        reader.number(u"red"_s),
        reader.number(u"green"_s),
        reader.number(u"blue"_s),
        reader.number(u"alpha"_s),
    };
}

Icon decodeIcon(const QJsonObject &object, const QString &path, QString *failure)
{
    const Reader reader(object, path, failure);
    // Built field by field: an icon read from JSON has no data yet, so no previews are made.
    Icon icon;
    icon.id = QUuid::createUuid();
    icon.containerID = QUuid::createUuid();
    icon.name = reader.string(u"name"_s);
    const QString type = reader.string(u"type"_s);
    const auto fileType = fromRawValue<IconFileType>(type);
    if (!fileType)
        reader.wrongType(u"type"_s, tr("“icns” or “image”"));
    icon.type = fileType.value_or(IconFileType::icns);
    icon.author = reader.string(u"author"_s);
    icon.copyright = reader.string(u"copyright"_s);
    icon.authorURL = reader.string(u"authorURL"_s);
    icon.filename = reader.optionalString(u"filename"_s);
    return icon;
}

IconContainer decodeContainer(const QJsonObject &object, QString *failure)
{
    const Reader reader(object, QString(), failure);
    IconContainer container; // a new identifier
    container.title = reader.string(u"title"_s);
    container.collectionID = reader.string(u"collectionID"_s);
    container.collectionVersion = reader.string(u"collectionVersion"_s);
    container.authorName = reader.string(u"authorName"_s);
    container.authorURL = reader.string(u"authorURL"_s);
    container.authorEmail = reader.string(u"authorEmail"_s);
    container.authoringLock = reader.boolean(u"authoringLock"_s);
    if (const auto color = reader.optional(u"backgroundColor"_s))
        container.backgroundColor
            = decodeColor(reader.object(*color, u"backgroundColor"_s), u"backgroundColor"_s, failure);

    // JSON has one kind of number; an integer is one without a fraction (4 and 4.0 alike).
    const double version = reader.number(u"containerVersion"_s);
    if (version < 0 || version > 255 || version != std::floor(version))
        reader.wrongType(u"containerVersion"_s, tr("an integer from 0 to 255"));
    else
        container.containerVersion = static_cast<std::uint8_t>(version);

    container.copyright = reader.string(u"copyright"_s);
    if (const auto customIcon = reader.optionalString(u"customIcon"_s)) {
        auto bytes = decodeStrictBase64(*customIcon);
        if (!bytes)
            reader.wrongType(u"customIcon"_s, tr("valid Base64 text"));
        container.customIcon = std::move(bytes);
    }

    const QJsonArray icons = reader.array(u"icons"_s);
    container.icons.reserve(icons.size());
    for (qsizetype i = 0; i < icons.size() && !reader.failed(); ++i) {
        const QString path = u"icons[%1]"_s.arg(i);
        container.icons.append(decodeIcon(reader.object(icons.at(i), path), path, failure));
    }
    return container;
}

// --- decoding in one pass

// Reads the members of one object, each known key at most once. `read` is given each key and
// reads its value, or gives false when it does not know the key; a duplicate of a known key gives
// up, as the full reader would keep the last and this one the first.
template <typename Read> bool scanMembers(JsonScanner &scanner, Read read)
{
    if (!scanner.beginObject())
        return false;
    QByteArrayView key;
    while (scanner.nextMember(&key)) {
        if (!read(key) && !scanner.skipValue())
            return false;
    }
    return scanner.ok();
}

// Compared inline: keys are short, and every member of a document is compared with several.
bool is(QByteArrayView key, std::string_view name)
{
    return std::string_view(key.data(), size_t(key.size())) == name;
}

// Marks `bit` in `seen`; false when it was marked already.
bool firstTime(unsigned &seen, unsigned bit)
{
    if (seen & bit)
        return false;
    seen |= bit;
    return true;
}

// Reads a required string into `field`, or fails the scanner when the value is no string.
bool scanString(JsonScanner &scanner, QString &field, JsonScanner::Recent *recent = nullptr)
{
    std::optional<QString> value = scanner.string(recent);
    if (value)
        field = std::move(*value);
    return scanner.ok();
}

std::optional<double> scanNumber(JsonScanner &scanner)
{
    const std::optional<double> value = scanner.number();
    return value && std::isfinite(*value) ? value : std::nullopt;
}

std::optional<RGBAColor> scanColor(JsonScanner &scanner)
{
    RGBAColor color;
    constexpr std::pair<std::string_view, double RGBAColor::*> components[] = {
        { "red", &RGBAColor::red },
        { "green", &RGBAColor::green },
        { "blue", &RGBAColor::blue },
        { "alpha", &RGBAColor::alpha },
    };
    unsigned seen = 0;
    bool valid = true;
    const bool read = scanMembers(scanner, [&](QByteArrayView key) {
        for (unsigned i = 0; i < std::size(components); ++i) {
            if (is(key, components[i].first)) {
                const std::optional<double> value = scanNumber(scanner);
                valid = valid && value && firstTime(seen, 1u << i);
                color.*components[i].second = value.value_or(0);
                return true;
            }
        }
        return false;
    });
    return read && valid && seen == 0xF ? std::optional(color) : std::nullopt;
}

// The last of each text field of the icons, as they mostly repeat from icon to icon.
struct RecentIconFields
{
    JsonScanner::Recent author, copyright, authorURL, type;
};

std::optional<Icon> scanIcon(JsonScanner &scanner, RecentIconFields &recent)
{
    Icon icon;
    icon.id = QUuid::createUuid();
    icon.containerID = QUuid::createUuid();
    unsigned seen = 0;
    bool valid = true;
    const bool read = scanMembers(scanner, [&](QByteArrayView key) {
        const struct
        {
            std::string_view key;
            QString *field;
            JsonScanner::Recent *recent;
        } fields[] = {
            { "name", &icon.name, nullptr },
            { "author", &icon.author, &recent.author },
            { "copyright", &icon.copyright, &recent.copyright },
            { "authorURL", &icon.authorURL, &recent.authorURL },
        };
        for (unsigned i = 0; i < std::size(fields); ++i) {
            if (is(key, fields[i].key)) {
                valid = valid && firstTime(seen, 1u << i) && scanString(scanner, *fields[i].field, fields[i].recent);
                return true;
            }
        }
        if (is(key, "type")) {
            const std::optional<QString> type = scanner.string(&recent.type);
            const auto fileType = type ? fromRawValue<IconFileType>(*type) : std::nullopt;
            valid = valid && fileType && firstTime(seen, 16);
            icon.type = fileType.value_or(IconFileType::icns);
            return true;
        }
        if (is(key, "filename")) {
            valid = valid && firstTime(seen, 32);
            if (!scanner.null())
                icon.filename = scanner.string();
            valid = valid && scanner.ok();
            return true;
        }
        return false;
    });
    // Every key but the file name is required.
    return read && valid && (seen | 32) == 63 ? std::optional(std::move(icon)) : std::nullopt;
}

std::optional<IconContainer> scanContainer(JsonScanner &scanner)
{
    IconContainer container;
    unsigned seen = 0;
    bool valid = true;
    const auto stringFields = std::to_array<std::pair<std::string_view, QString IconContainer::*>>({
        { "title", &IconContainer::title },
        { "collectionID", &IconContainer::collectionID },
        { "collectionVersion", &IconContainer::collectionVersion },
        { "authorName", &IconContainer::authorName },
        { "authorURL", &IconContainer::authorURL },
        { "authorEmail", &IconContainer::authorEmail },
        { "copyright", &IconContainer::copyright },
    });
    constexpr unsigned lockBit = 1u << 7, versionBit = 1u << 8, iconsBit = 1u << 9;
    constexpr unsigned colorBit = 1u << 10, customIconBit = 1u << 11;
    const bool read = scanMembers(scanner, [&](QByteArrayView key) {
        for (std::size_t i = 0; i < stringFields.size(); ++i) {
            if (is(key, stringFields[i].first)) {
                valid = valid && firstTime(seen, 1u << i) && scanString(scanner, container.*stringFields[i].second);
                return true;
            }
        }
        if (is(key, "authoringLock")) {
            const std::optional<bool> lock = scanner.boolean();
            valid = valid && lock && firstTime(seen, lockBit);
            container.authoringLock = lock.value_or(false);
        } else if (is(key, "containerVersion")) {
            const std::optional<double> version = scanNumber(scanner);
            valid = valid && version && *version >= 0 && *version <= 255 && *version == std::floor(*version)
                && firstTime(seen, versionBit);
            if (valid)
                container.containerVersion = static_cast<std::uint8_t>(*version);
        } else if (is(key, "backgroundColor")) {
            valid = valid && firstTime(seen, colorBit);
            if (!scanner.null()) {
                container.backgroundColor = scanColor(scanner);
                valid = valid && container.backgroundColor;
            }
        } else if (is(key, "customIcon")) {
            valid = valid && firstTime(seen, customIconBit);
            if (!scanner.null()) {
                const std::optional<QString> text = scanner.string();
                container.customIcon = text ? decodeStrictBase64(*text) : std::nullopt;
                valid = valid && container.customIcon;
            }
        } else if (is(key, "icons")) {
            valid = valid && firstTime(seen, iconsBit) && scanner.beginArray();
            RecentIconFields recent;
            while (valid && scanner.nextElement()) {
                std::optional<Icon> icon = scanIcon(scanner, recent);
                valid = icon.has_value();
                if (icon)
                    container.icons.append(std::move(*icon));
            }
            valid = valid && scanner.ok();
        } else {
            return false;
        }
        return true;
    });
    const unsigned required = ((1u << stringFields.size()) - 1) | lockBit | versionBit | iconsBit;
    if (!read || !valid || (seen & required) != required || !scanner.atEnd())
        return std::nullopt;
    return container;
}

} // namespace

Result<QByteArray, QString> encodeContainerJson(const IconContainer &container)
{
    if (const auto &color = container.backgroundColor) {
        for (const double component : { color->red, color->green, color->blue, color->alpha }) {
            if (!std::isfinite(component))
                return tr("The rAvivovode’s background colour cannot be saved: a component is not a finite number.");
        }
    }

    QJsonArray icons;
    for (const Icon &icon : container.icons)
        icons.append(encodeIcon(icon));

    QJsonObject object {
        { u"title"_s, container.title },
        { u"collectionID"_s, container.collectionID },
        { u"collectionVersion"_s, container.collectionVersion },
        { u"authorName"_s, container.authorName },
        { u"authorURL"_s, container.authorURL },
        { u"authorEmail"_s, container.authorEmail },
        { u"authoringLock"_s, container.authoringLock },
        { u"containerVersion"_s, int(container.containerVersion) },
        { u"copyright"_s, container.copyright },
        { u"icons"_s, icons },
    };
    if (container.backgroundColor)
        object.insert(u"backgroundColor"_s, encodeColor(*container.backgroundColor));
    if (container.customIcon)
        object.insert(u"customIcon"_s, QString::fromLatin1(container.customIcon->toBase64()));
    QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Compact);
    // What the reader would refuse must never be written: the container would vanish at the next load.
    if (bytes.size() > maxContainerJsonBytes)
        return tr("The rAvivovode’s info.json would be larger than %1 bytes.").arg(maxContainerJsonBytes);
    return bytes;
}

std::optional<IconContainer> scanContainerJson(const QByteArray &bytes)
{
    if (bytes.size() > maxContainerJsonBytes)
        return std::nullopt;
    JsonScanner scanner(bytes);
    return scanContainer(scanner);
}

Result<IconContainer, QString> decodeContainerJson(const QByteArray &bytes)
{
    if (std::optional<IconContainer> container = scanContainerJson(bytes))
        return std::move(*container);
    return decodeContainerJsonDocument(bytes);
}

Result<IconContainer, QString> decodeContainerJsonDocument(const QByteArray &bytes)
{
    if (bytes.size() > maxContainerJsonBytes)
        return tr("The rAvivovode’s info.json is too large to read.");
    QJsonParseError parseError;
    const QJsonDocument document = parseStrictJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return tr("The rAvivovode’s info.json is not valid JSON: %1 at offset %2.")
            .arg(parseError.errorString())
            .arg(parseError.offset);
    }
    if (!document.isObject())
        return tr("The rAvivovode’s info.json is not a JSON object.");
    QString failure;
    IconContainer container = decodeContainer(document.object(), &failure);
    if (!failure.isEmpty())
        return tr("The rAvivovode’s info.json cannot be read: %1").arg(failure);
    return container;
}
