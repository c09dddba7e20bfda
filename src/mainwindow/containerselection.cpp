// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/containerselection.h"

ContainerSelection::ContainerSelection(QObject *parent)
    : QObject(parent)
{ }

void ContainerSelection::setIds(QSet<QUuid> ids)
{
    m_ids = std::move(ids);
    Q_EMIT changed();
}
