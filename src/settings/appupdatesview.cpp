// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/appupdatesview.h"

#include "platform/net/updater.h"
#include "settings/appupdatesviewmodel.h"

AppUpdatesView::AppUpdatesView(Updater &updater, QObject *parent)
    : QAction(tr("Check for Updates\u2026"), parent)
    , m_model(new AppUpdatesViewModel(updater, this))
{
    setEnabled(m_model->canCheckForUpdates());
    connect(m_model, &AppUpdatesViewModel::canCheckForUpdatesChanged, this, &QAction::setEnabled);
    connect(this, &QAction::triggered, &updater, &Updater::checkForUpdates);
}
