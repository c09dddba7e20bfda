// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/windowtitle.h"

#include <QCoreApplication>

WindowTitle WindowTitle::forSelection(const QSet<QUuid> &selection, const QList<IconContainer> &containers)
{
    if (selection.size() == 1) {
        const QUuid id = *selection.cbegin();
        for (const IconContainer &container : containers) {
            if (container.id == id)
                return { container.title, container.authorName };
        }
    }
    return { QCoreApplication::translate("WindowTitle", "Glimbar"), QString() };
}

QString WindowTitle::line() const
{
    if (subtitle.isEmpty())
        return title;
    return QStringLiteral("%1 — %2").arg(title, subtitle);
}
