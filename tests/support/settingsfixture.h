// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/settings.h"
#include "platform/settings/settingsstore.h"

#include <QTemporaryDir>

#include <memory>

// A settings file of the test's own, so tests running side by side never share one and never
// touch the user's, with a store and the application's settings over it. Make it before anything
// that takes the settings, and call clear() before each test.
class SettingsFixture
{
public:
    SettingsFixture();

    bool isValid() const;
    // The folder the settings file lies in (QSettings' user path).
    QString path() const { return m_dir.path(); }
    SettingsStore &store() const { return *m_store; }
    Settings &settings() const { return *m_settings; }
    // Removes every stored value; keys read their defaults again.
    void clear() const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<Settings> m_settings;
};
