// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/settingskeynotifier.h"
#include "library/settingsstore.h"
#include "model/enumtraits.h"
#include "model/hsbcolor.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <type_traits>

// How a key's value type lies in the store. `fromStored` gives none for anything that is not a
// value of the type, so the key falls back to its default instead of guessing.
template <typename T> struct SettingsValue;

// Booleans and numbers are stored natively. Read back from the file they arrive as text, so text
// is accepted too, but only in the exact form QSettings writes ("true"/"false", decimal numbers).
template <> struct SettingsValue<bool>
{
    static QVariant toStored(bool value) { return value; }
    static std::optional<bool> fromStored(const QVariant &stored);
};

template <> struct SettingsValue<qint64>
{
    static QVariant toStored(qint64 value) { return value; }
    static std::optional<qint64> fromStored(const QVariant &stored);
};

// Non-finite values and values beyond float's range count as unreadable.
template <> struct SettingsValue<float>
{
    static QVariant toStored(float value) { return value; }
    static std::optional<float> fromStored(const QVariant &stored);
};

// Opaque bytes (a window's saved geometry); anything but bytes is unreadable.
template <> struct SettingsValue<QByteArray>
{
    static QVariant toStored(const QByteArray &value) { return value; }
    static std::optional<QByteArray> fromStored(const QVariant &stored)
    {
        if (stored.typeId() != QMetaType::QByteArray)
            return std::nullopt;
        return stored.toByteArray();
    }
};

// Stored as the list "hsb", hue, saturation, brightness, opacity, the numbers in the shortest text
// that reads back as the same double (the file holds "hsb, 0.666, 0.1, 0.3, 1"). Anything else,
// including a component outside 0…1, is unreadable.
template <> struct SettingsValue<HSBColor>
{
    static QVariant toStored(const HSBColor &value);
    static std::optional<HSBColor> fromStored(const QVariant &stored);
};

// Option enums are stored as their raw value string.
template <typename E>
requires std::is_enum_v<E>
struct SettingsValue<E>
{
    static QVariant toStored(E value) { return rawValue(value); }
    static std::optional<E> fromStored(const QVariant &stored)
    {
        if (stored.typeId() != QMetaType::QString)
            return std::nullopt;
        return fromRawValue<E>(stored.toString());
    }
};

// One persisted setting: its stored name, its default and its change signal. Reading gives the
// stored value, or the default when nothing is stored or the stored value is not of the key's type.
// Every write and every reset emits notifier()->changed(), also when the value stays the same, so
// every view of the key follows at once. All calls are safe from any thread.
template <typename T> class SettingsKey
{
public:
    SettingsKey(QString name, T defaultValue)
        : m_name(std::move(name))
        , m_defaultValue(std::move(defaultValue))
        , m_notifier(std::make_unique<SettingsKeyNotifier>())
    { }

    const QString &name() const { return m_name; }
    const T &defaultValue() const { return m_defaultValue; }

    T read() const { return SettingsValue<T>::fromStored(SettingsStore::value(m_name)).value_or(m_defaultValue); }

    void write(const T &value) const
    {
        SettingsStore::setValue(m_name, SettingsValue<T>::toStored(value));
        Q_EMIT m_notifier->changed();
    }

    // Removes the stored value, so the default applies again.
    void reset() const
    {
        SettingsStore::remove(m_name);
        Q_EMIT m_notifier->changed();
    }

    SettingsKeyNotifier *notifier() const { return m_notifier.get(); }

private:
    QString m_name;
    T m_defaultValue;
    std::unique_ptr<SettingsKeyNotifier> m_notifier;
};
