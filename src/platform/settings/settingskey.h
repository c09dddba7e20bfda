// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/settings/settingskeynotifier.h"
#include "platform/settings/settingsstore.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <type_traits>

// How a key's value type lies in the store. `fromStored` gives none for anything that is not a
// value of the type, so the key falls back to its default instead of guessing. The forms of the
// application's own types are in library/settingsvalues.h.
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

// Non-finite values count as unreadable.
template <> struct SettingsValue<double>
{
    static QVariant toStored(double value) { return value; }
    static std::optional<double> fromStored(const QVariant &stored);
};

// Stored as ISO 8601 text with milliseconds; anything else, an invalid date included, is
// unreadable.
template <> struct SettingsValue<QDateTime>
{
    static QVariant toStored(const QDateTime &value) { return value.toString(Qt::ISODateWithMs); }
    static std::optional<QDateTime> fromStored(const QVariant &stored);
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

// Where a key's writes go: to the file, or to memory only for state of the moment, which reads
// what the file holds until it is first written (SettingsStore::setMemoryValue()).
enum class SettingsKeeping { file, memory };

// One setting of a store: its stored name, its default and its change signal. Reading gives the
// stored value, or the default when nothing is stored or the stored value is not of the key's type.
// Every write and every reset emits notifier()->changed(), also when the value stays the same, so
// every view of the key follows at once. All calls are safe from any thread while the store lives.
template <typename T> class SettingsKey
{
public:
    SettingsKey(SettingsStore &store, QString name, T defaultValue, SettingsKeeping keeping = SettingsKeeping::file)
        : m_store(&store)
        , m_name(std::move(name))
        , m_defaultValue(std::move(defaultValue))
        , m_keeping(keeping)
        , m_notifier(std::make_unique<SettingsKeyNotifier>())
    { }

    const QString &name() const { return m_name; }
    const T &defaultValue() const { return m_defaultValue; }

    SettingsStore &store() const { return *m_store; }

    T read() const { return SettingsValue<T>::fromStored(m_store->value(m_name)).value_or(m_defaultValue); }

    void write(const T &value) const
    {
        if (m_keeping == SettingsKeeping::memory)
            m_store->setMemoryValue(m_name, SettingsValue<T>::toStored(value));
        else
            m_store->setValue(m_name, SettingsValue<T>::toStored(value));
        Q_EMIT m_notifier->changed();
    }

    // Removes the stored value, so the default applies again.
    void reset() const
    {
        if (m_keeping == SettingsKeeping::memory)
            m_store->setMemoryValue(m_name, QVariant());
        else
            m_store->remove(m_name);
        Q_EMIT m_notifier->changed();
    }

    SettingsKeyNotifier *notifier() const { return m_notifier.get(); }

private:
    SettingsStore *m_store;
    QString m_name;
    T m_defaultValue;
    SettingsKeeping m_keeping;
    std::unique_ptr<SettingsKeyNotifier> m_notifier;
};
