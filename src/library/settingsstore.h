// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

// The user's settings file (QSettings, organisation and application "Glimbar"), without fallbacks
// to system-wide files, so a value is either the user's or absent. The values live in memory, in
// one store that every thread shares: a read takes a shared lock and a lookup, a write changes
// memory and the QSettings object in front of the file. The file itself is written when the
// application's thread is next idle (a short while after the first unsaved write), when the
// application quits, when the process exits, and by sync(). All calls are safe from any thread.
// Tests move the file away from the user's with QStandardPaths::setTestModeEnabled(true) (honoured
// by QSettings on Linux) or QSettings::setPath() before the first call.
namespace SettingsStore {

// An invalid QVariant when nothing is stored under the name.
QVariant value(const QString &name);
void setValue(const QString &name, const QVariant &value);
void remove(const QString &name);
// Writes every change to the file now.
void sync();
// Writes every change, then reads the file again, forgetting what memory held: for a file changed
// behind the store's back (tests that edit it with a QSettings of their own).
void reload();

} // namespace SettingsStore
