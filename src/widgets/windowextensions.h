// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;
class QToolBar;
class QWidget;

// Gives the settings window's tab bar its look: labels under the icons, fixed in place with no
// menu to change how it shows, and every item centred between two stretching spacers. Safe to run
// again: the spacers are added once, and items added since are centred with the rest. A null
// toolbar is left alone.
void customizeSettingsToolbar(QToolBar *toolbar);

// Shows `title` in the window's title bar exactly as given. Qt reads "[*]" in a title as the place
// of the modified marker and drops it; doubled, each shows as itself.
void setVerbatimWindowTitle(QWidget *window, const QString &title);
