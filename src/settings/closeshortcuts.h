// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Escape and Ctrl+W close `window`, as they close any utility window of the desktop.
void addCloseShortcuts(QWidget *window);
