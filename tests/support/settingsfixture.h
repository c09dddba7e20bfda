// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTemporaryDir>

// A settings file of the test program's own, so tests running side by side never share one and
// never touch the user's. Make one per test program before the first use of a settings key, and
// call clear() before each test.
class SettingsFixture
{
public:
    SettingsFixture();

    bool isValid() const;
    // Removes every stored value; keys read their defaults again.
    void clear() const;

private:
    QTemporaryDir m_dir;
};
