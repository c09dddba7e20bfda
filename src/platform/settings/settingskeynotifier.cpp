// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settings/settingskeynotifier.h"

#include <QCoreApplication>

SettingsKeyNotifier::SettingsKeyNotifier()
{
    // A key first used on a worker thread must not leave its notifier on a thread that ends.
    if (const auto *app = QCoreApplication::instance())
        moveToThread(app->thread());
}
