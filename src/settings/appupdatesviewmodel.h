// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class Updater;

// Whether an update check can start now, as the updater last said. The value starts as the
// updater's current one and follows every change. Changes reach this object, and its signal is
// emitted, on the thread it lives on (the GUI thread), whichever thread the updater reports from.
class AppUpdatesViewModel : public QObject
{
    Q_OBJECT

public:
    explicit AppUpdatesViewModel(Updater &updater, QObject *parent = nullptr);

    bool canCheckForUpdates() const { return m_canCheckForUpdates; }

Q_SIGNALS:
    void canCheckForUpdatesChanged(bool canCheck);

private:
    void setCanCheckForUpdates(bool canCheck);

    bool m_canCheckForUpdates = false;
};
