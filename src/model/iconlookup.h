// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHashFunctions>
#include <QUuid>

#include <functional>

// Finds an icon across containers: the icon's identifier and its container's identifier.
struct IconLookup
{
    QUuid id;
    QUuid containerID;

    friend bool operator==(const IconLookup &, const IconLookup &) = default;
};

inline size_t qHash(const IconLookup &lookup, size_t seed = 0) noexcept
{
    return qHashMulti(seed, lookup.id, lookup.containerID);
}

template <> struct std::hash<IconLookup>
{
    size_t operator()(const IconLookup &lookup) const noexcept { return qHash(lookup); }
};
