// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsfixture.h"

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
    QSettings(u"Glimbar"_s, u"Glimbar"_s).clear();
}
