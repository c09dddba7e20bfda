// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/optionenums.h"

#include <QWidget>

class QTabWidget;
class Updater;

// Holds the place of the settings window until it is built: its three tabs, empty but for the
// update check, opening on the application's selected tab and keeping it when another is chosen.
class SettingsWindowStandIn : public QWidget
{
    Q_OBJECT

public:
    SettingsWindowStandIn(SettingsTab &selectedTab, Updater &updater, QWidget *parent = nullptr);

private:
    SettingsTab &m_selectedTab;
    QTabWidget *m_tabs = nullptr;
};
