// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settings/settingskey.h"

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

std::optional<double> finiteDouble(const QVariant &stored)
{
    double value = 0;
    switch (stored.typeId()) {
    case QMetaType::Float:
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
        value = stored.toDouble();
        break;
    case QMetaType::QString: {
        bool ok = false;
        value = stored.toString().toDouble(&ok);
        if (!ok)
            return std::nullopt;
        break;
    }
    default:
        return std::nullopt;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<bool> SettingsValue<bool>::fromStored(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (stored.typeId() == QMetaType::QString) {
        const QString text = stored.toString();
        if (text == "true"_L1)
            return true;
        if (text == "false"_L1)
            return false;
    }
    return std::nullopt;
}

std::optional<qint64> SettingsValue<qint64>::fromStored(const QVariant &stored)
{
    switch (stored.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return stored.toLongLong();
    case QMetaType::ULongLong:
        if (stored.toULongLong() > static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return stored.toLongLong();
    case QMetaType::QString: {
        bool ok = false;
        const qint64 value = stored.toString().toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return value;
    }
    default:
        return std::nullopt;
    }
}

std::optional<float> SettingsValue<float>::fromStored(const QVariant &stored)
{
    const auto value = finiteDouble(stored);
    if (!value || std::abs(*value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*value);
}

std::optional<double> SettingsValue<double>::fromStored(const QVariant &stored)
{
    return finiteDouble(stored);
}

std::optional<QDateTime> SettingsValue<QDateTime>::fromStored(const QVariant &stored)
{
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    const QDateTime date = QDateTime::fromString(stored.toString(), Qt::ISODateWithMs);
    if (!date.isValid())
        return std::nullopt;
    return date;
}
