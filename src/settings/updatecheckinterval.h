// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>
#include <optional>

// How often the updater checks on its own. The raw value is a number of seconds, so the option
// enums' table of raw value strings does not fit it. A month is 30.4375 days (2629800 s).
enum class UpdateCheckInterval { hourly, daily, weekly, monthly };

constexpr std::array<UpdateCheckInterval, 4> allUpdateCheckIntervals { UpdateCheckInterval::hourly,
    UpdateCheckInterval::daily, UpdateCheckInterval::weekly, UpdateCheckInterval::monthly };

constexpr double seconds(UpdateCheckInterval interval)
{
    switch (interval) {
    case UpdateCheckInterval::hourly:
        return 3600;
    case UpdateCheckInterval::daily:
        return 86400;
    case UpdateCheckInterval::weekly:
        return 604800;
    case UpdateCheckInterval::monthly:
        return 2629800;
    }
    return 0;
}

// Exactly the four raw values; any other number (30 days, say) is no interval of the list.
std::optional<UpdateCheckInterval> updateCheckIntervalFromSeconds(double value);

// Translated, looked up at each call.
QString label(UpdateCheckInterval interval);
