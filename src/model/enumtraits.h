// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <utility>

// Each option enum lists its cases once, in display order, with their raw values; everything else
// (raw value, construction from text, all cases) is derived from that one table.
template <typename E> struct EnumTraits;

template <typename E> constexpr auto allCases()
{
    std::array<E, EnumTraits<E>::values.size()> cases {};
    for (std::size_t i = 0; i < cases.size(); ++i)
        cases[i] = EnumTraits<E>::values[i].first;
    return cases;
}

template <typename E> QString rawValue(E value)
{
    for (const auto &[candidate, raw] : EnumTraits<E>::values) {
        if (candidate == value)
            return QString::fromLatin1(raw);
    }
    return {};
}

// Exact, case-sensitive match of the whole text; anything else gives no value.
template <typename E> std::optional<E> fromRawValue(QStringView text)
{
    for (const auto &[candidate, raw] : EnumTraits<E>::values) {
        if (text == QLatin1String(raw))
            return candidate;
    }
    return std::nullopt;
}
