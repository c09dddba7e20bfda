// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/archives/archivedvalue.h"

#include <cmath>

struct ArchivedValue::Node
{
    Payload payload;
};

namespace {

bool isBooleanEncoding(char encoding)
{
    return encoding == 'c' || encoding == 'B';
}

// 2^63 and 2^64 as doubles: the first values past the integer ranges.
constexpr double twoTo63 = 9223372036854775808.0;
constexpr double twoTo64 = 18446744073709551616.0;

std::optional<double> exactDouble(const ArchivedValue::NumberValue &value)
{
    if (const auto *real = std::get_if<double>(&value)) {
        if (std::isnan(*real))
            return std::nullopt;
        return *real;
    }
    if (const auto *integer = std::get_if<qint64>(&value)) {
        const double converted = double(*integer);
        if (converted >= twoTo63 || qint64(converted) != *integer)
            return std::nullopt;
        return converted;
    }
    const quint64 integer = std::get<quint64>(value);
    const double converted = double(integer);
    if (converted >= twoTo64 || quint64(converted) != integer)
        return std::nullopt;
    return converted;
}

} // namespace

ArchivedValue::ArchivedValue(Payload payload)
    : m_node(std::make_shared<const Node>(Node { std::move(payload) }))
{ }

ArchivedValue ArchivedValue::dictionary(Dictionary pairs)
{
    return ArchivedValue(Payload(std::in_place_type<Dictionary>, std::move(pairs)));
}

ArchivedValue ArchivedValue::array(Array elements)
{
    return ArchivedValue(Payload(std::in_place_type<Array>, std::move(elements)));
}

ArchivedValue ArchivedValue::string(QString text)
{
    return ArchivedValue(Payload(std::in_place_type<QString>, std::move(text)));
}

ArchivedValue ArchivedValue::data(QByteArray bytes)
{
    return ArchivedValue(Payload(std::in_place_type<QByteArray>, std::move(bytes)));
}

ArchivedValue ArchivedValue::number(char encoding, NumberValue value)
{
    return ArchivedValue(Payload(std::in_place_type<Number>, Number { encoding, value }));
}

ArchivedValue ArchivedValue::boolean(bool value)
{
    return number('c', qint64(value ? 1 : 0));
}

const ArchivedValue::Payload *ArchivedValue::payload() const
{
    return m_node ? &m_node->payload : nullptr;
}

template <typename T> const T *ArchivedValue::as() const
{
    return m_node ? std::get_if<T>(&m_node->payload) : nullptr;
}

ArchivedValue::Kind ArchivedValue::kind() const
{
    const Payload *p = payload();
    if (!p)
        return Kind::nil;
    switch (p->index()) {
    case 0:
        return Kind::dictionary;
    case 1:
        return Kind::array;
    case 2:
        return Kind::string;
    case 3:
        return Kind::data;
    default:
        return isBooleanEncoding(std::get<Number>(*p).encoding) ? Kind::boolean : Kind::number;
    }
}

char ArchivedValue::numberEncoding() const
{
    const Number *number = as<Number>();
    return number ? number->encoding : '\0';
}

std::optional<ArchivedValue::NumberValue> ArchivedValue::numberValue() const
{
    if (const Number *number = as<Number>())
        return number->value;
    return std::nullopt;
}

std::optional<QString> ArchivedValue::toString() const
{
    if (const QString *text = as<QString>())
        return *text;
    return std::nullopt;
}

std::optional<QByteArray> ArchivedValue::toBytes() const
{
    if (const QByteArray *bytes = as<QByteArray>())
        return *bytes;
    return std::nullopt;
}

std::optional<bool> ArchivedValue::toBool() const
{
    const Number *number = as<Number>();
    if (!number)
        return std::nullopt;
    // Compares by value, as the platform does: 1.0 is true, -0.0 is false, 2 is no boolean.
    const std::optional<double> value = exactDouble(number->value);
    if (value == 0.0)
        return false;
    if (value == 1.0)
        return true;
    return std::nullopt;
}

std::optional<double> ArchivedValue::toDouble() const
{
    const Number *number = as<Number>();
    if (!number)
        return std::nullopt;
    return exactDouble(number->value);
}

std::optional<ArchivedValue::Array> ArchivedValue::toArray() const
{
    if (const Array *elements = as<Array>())
        return *elements;
    return std::nullopt;
}

std::optional<ArchivedValue::Dictionary> ArchivedValue::toDictionary() const
{
    if (const Dictionary *pairs = as<Dictionary>())
        return *pairs;
    return std::nullopt;
}

std::optional<ArchivedValue> ArchivedValue::value(QStringView key) const
{
    const Dictionary *pairs = as<Dictionary>();
    if (!pairs)
        return std::nullopt;
    for (const Pair &pair : *pairs) {
        const QString *text = pair.first.as<QString>();
        if (text && *text == key)
            return pair.second;
    }
    return std::nullopt;
}

std::optional<QStringList> ArchivedValue::toStringList() const
{
    const Array *elements = as<Array>();
    if (!elements)
        return std::nullopt;
    QStringList list;
    list.reserve(elements->size());
    for (const ArchivedValue &element : *elements) {
        const QString *text = element.as<QString>();
        if (!text)
            return std::nullopt;
        list.append(*text);
    }
    return list;
}

std::optional<QList<double>> ArchivedValue::toDoubleList() const
{
    const Array *elements = as<Array>();
    if (!elements)
        return std::nullopt;
    QList<double> list;
    list.reserve(elements->size());
    for (const ArchivedValue &element : *elements) {
        const std::optional<double> value = element.toDouble();
        if (!value)
            return std::nullopt;
        list.append(*value);
    }
    return list;
}

bool operator==(const ArchivedValue &a, const ArchivedValue &b)
{
    if (a.m_node == b.m_node)
        return true;
    return a.m_node && b.m_node && a.m_node->payload == b.m_node->payload;
}
