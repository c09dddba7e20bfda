// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/updatecheckinterval.h"

#include <QCoreApplication>

std::optional<UpdateCheckInterval> updateCheckIntervalFromSeconds(double value)
{
    for (UpdateCheckInterval interval : allUpdateCheckIntervals) {
        if (seconds(interval) == value)
            return interval;
    }
    return std::nullopt;
}

QString label(UpdateCheckInterval interval)
{
    switch (interval) {
    case UpdateCheckInterval::hourly:
        return QCoreApplication::translate("UpdateCheckInterval", "Hourly", "Update check interval");
    case UpdateCheckInterval::daily:
        return QCoreApplication::translate("UpdateCheckInterval", "Daily", "Update check interval");
    case UpdateCheckInterval::weekly:
        return QCoreApplication::translate("UpdateCheckInterval", "Weekly", "Update check interval");
    case UpdateCheckInterval::monthly:
        return QCoreApplication::translate("UpdateCheckInterval", "Monthly", "Update check interval");
    }
    return {};
}
