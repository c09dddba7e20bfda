// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/appupdatesviewmodel.h"

#include "platform/net/updater.h"

AppUpdatesViewModel::AppUpdatesViewModel(Updater &updater, QObject *parent)
    : QObject(parent)
{
    // Queued whenever the signal comes from another thread than this object's, so the value is
    // only ever assigned where the widgets read it.
    connect(&updater, &Updater::canCheckForUpdatesChanged, this, &AppUpdatesViewModel::setCanCheckForUpdates);
    setCanCheckForUpdates(updater.canCheckForUpdates());
}

void AppUpdatesViewModel::setCanCheckForUpdates(bool canCheck)
{
    if (canCheck == m_canCheckForUpdates)
        return;
    m_canCheckForUpdates = canCheck;
    Q_EMIT canCheckForUpdatesChanged(canCheck);
}
