// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSet>
#include <QUuid>

class ContainerManager;
class IconSelectionManager;

// Follows a window's container selection: first deselects the icons whose containers are no longer
// selected (one change each, in selection order; icons that resolve nowhere stay), then says
// whether exporting is unavailable, which it is unless exactly one container is selected. Says
// nothing before the first change, so the export menu keeps its own initial state until then.
class SelectionObserver : public QObject
{
    Q_OBJECT

public:
    SelectionObserver(const ContainerManager &library, IconSelectionManager &iconSelection, QObject *parent = nullptr);

public Q_SLOTS:
    void containerSelectionChanged(const QSet<QUuid> &selection);

Q_SIGNALS:
    void exporterDisabled(bool disabled);

private:
    const ContainerManager &m_library;
    IconSelectionManager &m_iconSelection;
};
