// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <optional>

// What the desktop asks of animations, as GNOME and KDE store it: GNOME's switch
// "enable-animations" of org.gnome.desktop.interface (read through GSettings, only where that
// schema is installed) and KDE's AnimationDurationFactor in the [KDE] group of kdeglobals.
// Nothing here fails: a missing schema, file or key leaves animations at their normal speed.
class DesktopAnimations
{
public:
    // The factor the desktop puts on animation durations: 1 normally, 0 when either desktop turns
    // animations off, KDE's factor otherwise. Reads the settings each time it is called.
    static double durationFactor();

    // GNOME's switch; none without the schema or its key.
    static std::optional<bool> gnomeAnimationsEnabled();
    // KDE's factor from the first of `files` (most important first) that sets it; none when none
    // does or the value is not a number of zero or more.
    static std::optional<double> kdeDurationFactor(const QStringList &files);
    // The kdeglobals files of this user and system, most important first.
    static QStringList kdeGlobalsFiles();
};
