// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>

class AppUpdatesViewModel;
class Updater;

// An action, not a view: the menu command "Check for Updates…". It runs a check, and is disabled
// while the updater cannot start one. Each command has a model of its own, which lives as long as
// the command.
class AppUpdatesView : public QAction
{
    Q_OBJECT

public:
    explicit AppUpdatesView(Updater &updater, QObject *parent = nullptr);

    AppUpdatesViewModel *model() const { return m_model; }

private:
    AppUpdatesViewModel *m_model;
};
