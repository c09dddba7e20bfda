// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/windowextensions.h"

#include <QAction>
#include <QSizePolicy>
#include <QToolBar>
#include <QWidget>
#include <QWidgetAction>

using namespace Qt::Literals::StringLiterals;

namespace {

const auto leadingSpacerName = u"settingsToolbarLeadingSpacer"_s;
const auto trailingSpacerName = u"settingsToolbarTrailingSpacer"_s;

QAction *makeSpacerAction(QToolBar *toolbar, const QString &name)
{
    auto *spacer = new QWidget(toolbar);
    spacer->setObjectName(name);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *action = new QWidgetAction(toolbar);
    action->setDefaultWidget(spacer);
    return action;
}

} // namespace

void customizeSettingsToolbar(QToolBar *toolbar)
{
    if (!toolbar)
        return;
    if (toolbar->toolButtonStyle() != Qt::ToolButtonTextUnderIcon)
        toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    toolbar->toggleViewAction()->setEnabled(false);

    // The spacers stand first and last, also after items were added between two runs.
    QAction *leading = nullptr;
    QAction *trailing = nullptr;
    QList<QAction *> items;
    for (QAction *action : toolbar->actions()) {
        const QWidget *widget = toolbar->widgetForAction(action);
        const QString name = widget ? widget->objectName() : QString();
        if (name == leadingSpacerName)
            leading = action;
        else if (name == trailingSpacerName)
            trailing = action;
        else
            items.append(action);
    }
    if (items.isEmpty())
        return;
    if (leading)
        toolbar->removeAction(leading);
    else
        leading = makeSpacerAction(toolbar, leadingSpacerName);
    if (trailing)
        toolbar->removeAction(trailing);
    else
        trailing = makeSpacerAction(toolbar, trailingSpacerName);
    toolbar->insertAction(items.first(), leading);
    toolbar->addAction(trailing);
}

void setVerbatimWindowTitle(QWidget *window, const QString &title)
{
    QString escaped = title;
    window->setWindowTitle(escaped.replace(u"[*]"_s, u"[*][*]"_s));
}
