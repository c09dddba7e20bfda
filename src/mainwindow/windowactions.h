// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/optionenums.h"

#include <QList>
#include <QObject>

class QAction;
class QActionGroup;
class QWidget;
class Settings;

// The commands of one main window that stand in more than one place: the "View Icons" choice (menu
// bar and toolbar), Import and Export (File menu and the sidebar's "More" menu) and the sidebar
// toggle. Each is one QAction, so a command has one shortcut, one enabled state and one check mark
// wherever it is shown.
//
// Guarantees: the view-mode actions show "iconViewMode" and follow every change made elsewhere;
// the export actions start disabled; the sidebar toggle names what it will do.
class WindowActions : public QObject
{
    Q_OBJECT

public:
    // Shortcuts act while `window` is active; the actions' symbols take its text colour.
    // The view-mode actions write and follow "iconViewMode" of `settings`, which outlives them.
    WindowActions(const Settings &settings, QWidget *window);

    // One checkable action per view mode, in case order; triggering one writes "iconViewMode".
    QActionGroup *viewModes() const { return m_viewModes; }
    const QList<QAction *> &importActions() const { return m_importActions; }
    const QList<QAction *> &exportActions() const { return m_exportActions; }
    QAction *toggleSidebar() const { return m_toggleSidebar; }

public Q_SLOTS:
    void setExporterDisabled(bool disabled);
    void showSidebarState(bool visible);

Q_SIGNALS:
    void importRequested(ImportFormat format);
    void exportRequested(ExportFormat format);

private:
    QActionGroup *m_viewModes;
    QList<QAction *> m_importActions;
    QList<QAction *> m_exportActions;
    QAction *m_toggleSidebar;
};
