// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/closeshortcuts.h"

#include <QShortcut>
#include <QWidget>

void addCloseShortcuts(QWidget *window)
{
    for (const QKeySequence &keys : { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) }) {
        auto *shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
    }
}
