// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/focusreturn.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

FocusReturn::FocusReturn(QObject *parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

FocusReturn::~FocusReturn()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool FocusReturn::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Hide || !watched->isWidgetType())
        return false;
    auto *closed = static_cast<QWidget *>(watched);
    if (!closed->isWindow() || !closed->parentWidget() || closed->windowType() == Qt::ToolTip
        || closed->windowType() == Qt::Popup)
        return false;
    // After the event loop has settled who is active: a dialog closing from inside another closes
    // its opener right after, so the window to activate is found then.
    const QPointer<QWidget> opener(closed->parentWidget()->window());
    QTimer::singleShot(0, this, [opener] {
        QWidget *window = opener;
        while (window && !window->isVisible())
            window = window->parentWidget() ? window->parentWidget()->window() : nullptr;
        const QWidget *active = QApplication::activeWindow();
        if (!window || QApplication::activeModalWidget() || (active && active->isVisible()))
            return;
        window->activateWindow();
    });
    return false;
}
