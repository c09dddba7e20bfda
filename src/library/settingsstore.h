// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

// The user's settings file (QSettings, organisation and application "Glimbar"), without fallbacks
// to system-wide files, so a value is either the user's or absent. Every call opens its own
// QSettings, which makes the calls safe from any thread; a write reaches the file before it returns.
// Tests move the file away from the user's with QStandardPaths::setTestModeEnabled(true) (honoured
// by QSettings on Linux) or QSettings::setPath().
namespace SettingsStore {

// An invalid QVariant when nothing is stored under the name.
QVariant value(const QString &name);
void setValue(const QString &name, const QVariant &value);
void remove(const QString &name);

} // namespace SettingsStore
