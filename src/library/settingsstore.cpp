// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/settingsstore.h"

#include <QSettings>

using namespace Qt::Literals::StringLiterals;

namespace {

struct UserSettings
{
    UserSettings() { settings.setFallbacksEnabled(false); }
    QSettings settings { u"Glimbar"_s, u"Glimbar"_s };
};

} // namespace

namespace SettingsStore {

QVariant value(const QString &name)
{
    return UserSettings().settings.value(name);
}

void setValue(const QString &name, const QVariant &value)
{
    UserSettings store;
    store.settings.setValue(name, value);
    store.settings.sync();
}

void remove(const QString &name)
{
    UserSettings store;
    store.settings.remove(name);
    store.settings.sync();
}

} // namespace SettingsStore
