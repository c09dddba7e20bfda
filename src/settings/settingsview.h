// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/optionenums.h"

#include <QMainWindow>

class QActionGroup;
class QStackedWidget;
class QToolBar;
class Settings;
class Updater;

// The settings window: the General, Low-Resolution and Updates tabs, picked from a toolbar of
// tab buttons. `selectedTab` belongs to the caller and outlives the window: it is the tab shown
// when the window shows, and the window writes it whenever the user picks a tab, so the choice
// lasts for the run. The window takes the size of the shown tab, and is never narrower than 600.
class SettingsView : public QMainWindow
{
    Q_OBJECT

public:
    SettingsView(SettingsTab &selectedTab, Updater &updater, const Settings &settings, QWidget *parent = nullptr);

    // The tab buttons, one checkable action per tab in tab order; for the toolbar's styling.
    QToolBar *tabBar() const { return m_tabBar; }
    QWidget *page(SettingsTab tab) const;
    SettingsTab shownTab() const;
    // Shows the tab and records it as the selected one.
    void showTab(SettingsTab tab);

protected:
    void showEvent(QShowEvent *event) override;

private:
    SettingsTab &m_selectedTab;
    QToolBar *m_tabBar;
    QActionGroup *m_tabActions;
    QStackedWidget *m_pages;
};
