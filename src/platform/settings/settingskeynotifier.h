// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// The change signal of one settings key. It lives on the application's thread whichever thread
// made it, and may be emitted from any thread: receivers on other threads get it queued.
class SettingsKeyNotifier : public QObject
{
    Q_OBJECT

public:
    SettingsKeyNotifier();

Q_SIGNALS:
    // After every write, also of an unchanged value, and after every reset; the store already
    // holds the new value.
    void changed();
};
