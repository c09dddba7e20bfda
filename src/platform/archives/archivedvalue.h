// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>
#include <utility>
#include <variant>

// One value read from an older (non-keyed) archive: a dictionary, array, string, data, number,
// boolean or nil. A plain immutable value: copies share the node and its children, so handing a
// large tree around costs nothing. An object that an archive references twice is read once, and
// both places hold copies of the same node (see identity()).
//
// The conversions mirror how the platform bridges archived objects: each gives nothing unless the
// value really is of that kind, and a number converts only when no value is lost.
class ArchivedValue
{
public:
    enum class Kind { nil, dictionary, array, string, data, number, boolean };

    using Array = QList<ArchivedValue>;
    using Pair = std::pair<ArchivedValue, ArchivedValue>;
    // Key/value pairs in stream order; keys are values of any kind and may repeat.
    using Dictionary = QList<Pair>;
    // Signed encodings (c s i l q B) keep a qint64, unsigned ones (C S I L Q) a quint64, f and d a double.
    using NumberValue = std::variant<qint64, quint64, double>;

    // A nil value.
    ArchivedValue() = default;

    static ArchivedValue dictionary(Dictionary pairs);
    static ArchivedValue array(Array elements);
    static ArchivedValue string(QString text);
    static ArchivedValue data(QByteArray bytes);
    // A number with its type encoding; the encodings "c" and "B" make a boolean.
    static ArchivedValue number(char encoding, NumberValue value);
    // A boolean as the archiver stores one: encoding "c", value 0 or 1.
    static ArchivedValue boolean(bool value);

    Kind kind() const;
    bool isNil() const { return !m_node; }
    // The type encoding of a number or boolean; 0 for every other kind.
    char numberEncoding() const;
    std::optional<NumberValue> numberValue() const;
    // The same address for every copy of one value; null for nil. Lets a writer share objects.
    const void *identity() const { return m_node.get(); }

    std::optional<QString> toString() const;
    std::optional<QByteArray> toBytes() const;
    // A number or boolean whose value is exactly 0 or 1.
    std::optional<bool> toBool() const;
    // A number or boolean whose value a double holds exactly (never NaN).
    std::optional<double> toDouble() const;
    std::optional<Array> toArray() const;
    std::optional<Dictionary> toDictionary() const;
    // The value of the first pair whose key is the string `key`; none when absent or not a dictionary.
    std::optional<ArchivedValue> value(QStringView key) const;
    // An array whose every element converts; an empty array gives an empty list.
    std::optional<QStringList> toStringList() const;
    std::optional<QList<double>> toDoubleList() const;

    // Same kind and same contents, in order; numbers also compare their encodings.
    friend bool operator==(const ArchivedValue &a, const ArchivedValue &b);

private:
    struct Number
    {
        char encoding;
        NumberValue value;
        friend bool operator==(const Number &, const Number &) = default;
    };
    using Payload = std::variant<Dictionary, Array, QString, QByteArray, Number>;
    struct Node;

    explicit ArchivedValue(Payload payload);
    const Payload *payload() const;
    template <typename T> const T *as() const;

    std::shared_ptr<const Node> m_node;
};
