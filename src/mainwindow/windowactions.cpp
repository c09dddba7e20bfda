// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/windowactions.h"

#include "library/settings.h"
#include "widgets/symbol.h"

#include <QAction>
#include <QActionGroup>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

QString symbolOf(IconViewMode mode)
{
    switch (mode) {
    case IconViewMode::grid:
        return u"square.grid.2x2"_s;
    case IconViewMode::list:
        return u"list.bullet"_s;
    case IconViewMode::gallery:
        return u"squares.below.rectangle"_s;
    }
    return {};
}

} // namespace

WindowActions::WindowActions(const Settings &settings, QWidget *window)
    : QObject(window)
    , m_viewModes(new QActionGroup(this))
    , m_toggleSidebar(new QAction(this))
{
    m_viewModes->setExclusive(true);
    const QColor color = window->palette().color(QPalette::WindowText);
    QList<std::pair<IconViewMode, QAction *>> modeActions;
    for (const IconViewMode mode : allCases<IconViewMode>()) {
        auto *action = new QAction(Symbol::icon(symbolOf(mode), color),
            tr("as %1", "Icon view mode options in the View menu of the menu bar").arg(title(mode)), m_viewModes);
        // The toolbar shows the symbol and names the mode alone; the menu shows the text alone.
        action->setToolTip(title(mode));
        action->setIconVisibleInMenu(false);
        action->setCheckable(true);
        action->setShortcut(keyboardShortcut(mode));
        connect(action, &QAction::triggered, this, [&settings, mode] { settings.iconViewMode().write(mode); });
        modeActions.append({ mode, action });
    }
    const auto showViewMode = [&settings, modeActions] {
        const IconViewMode current = settings.iconViewMode().read();
        for (const auto &[mode, action] : modeActions)
            action->setChecked(mode == current);
    };
    showViewMode();
    connect(settings.iconViewMode().notifier(), &SettingsKeyNotifier::changed, this, showViewMode);

    for (const ImportFormat format : allCases<ImportFormat>()) {
        // Every import format shows the same text.
        auto *action = new QAction(tr("rAvivovode…"), this);
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C));
        connect(action, &QAction::triggered, this, [this, format] { Q_EMIT importRequested(format); });
        m_importActions.append(action);
    }
    for (const ExportFormat format : allCases<ExportFormat>()) {
        auto *action = new QAction(title(format), this);
        action->setEnabled(false);
        connect(action, &QAction::triggered, this, [this, format] { Q_EMIT exportRequested(format); });
        m_exportActions.append(action);
    }

    m_toggleSidebar->setShortcut(QKeySequence(Qt::Key_F9));
    showSidebarState(true);
}

void WindowActions::setExporterDisabled(bool disabled)
{
    for (QAction *action : std::as_const(m_exportActions))
        action->setEnabled(!disabled);
}

void WindowActions::showSidebarState(bool visible)
{
    m_toggleSidebar->setText(visible ? tr("Hide Sidebar") : tr("Show Sidebar"));
}
