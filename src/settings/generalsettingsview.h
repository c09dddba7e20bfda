// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class RadioPicker;
class Settings;

// The General tab: the sidebar's icon size and the format an icon dragged out becomes. Both
// pickers write their settings at once and follow changes made elsewhere; the tab keeps nothing.
class GeneralSettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit GeneralSettingsView(const Settings &settings, QWidget *parent = nullptr);

    RadioPicker *sidebarIconSizePicker() const { return m_sidebarIconSize; }
    RadioPicker *exportFormatPicker() const { return m_exportFormat; }

private:
    RadioPicker *m_sidebarIconSize;
    RadioPicker *m_exportFormat;
};
