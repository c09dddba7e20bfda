// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/enumtraits.h"
#include "model/hsbcolor.h"
#include "platform/settings/settingskey.h"

#include <QVariant>

#include <optional>
#include <type_traits>

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
