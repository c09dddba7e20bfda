// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsfixture.h"

#include "library/settingsstore.h"

#include <QSettings>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

SettingsFixture::SettingsFixture()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
}

bool SettingsFixture::isValid() const
{
    return m_dir.isValid() && QSettings(u"Glimbar"_s, u"Glimbar"_s).fileName().startsWith(m_dir.path());
}

void SettingsFixture::clear() const
{
    // The store writes late: flush it first, so the clear is not undone by its pending writes.
    SettingsStore::sync();
    QSettings(u"Glimbar"_s, u"Glimbar"_s).clear();
    SettingsStore::reload();
}
