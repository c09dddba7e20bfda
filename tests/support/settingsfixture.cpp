// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsfixture.h"

#include <QSettings>
#include <QStandardPaths>

SettingsFixture::SettingsFixture()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    m_store = std::make_unique<SettingsStore>();
    m_settings = std::make_unique<Settings>(*m_store);
}

bool SettingsFixture::isValid() const
{
    return m_dir.isValid() && m_store->fileName().startsWith(m_dir.path());
}

void SettingsFixture::clear() const
{
    // The store writes late: flush it first, so the clear is not undone by its pending writes.
    m_store->sync();
    QSettings(m_store->fileName(), QSettings::NativeFormat).clear();
    m_store->reload();
}
