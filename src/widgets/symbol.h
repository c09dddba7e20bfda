// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own line symbols (resources/symbols/<name>.svg), drawn in one colour so that they
// follow the foreground level of the control that shows them.
class Symbol
{
public:
    // Whether a symbol of that name is bundled.
    static bool exists(const QString &name);
    // The symbol in a square of `points` points for a screen of `devicePixelRatio`, in `color`; a
    // transparent pixmap when there is no such symbol.
    static QPixmap pixmap(const QString &name, int points, const QColor &color, qreal devicePixelRatio);
    // The symbol as an icon in `color`, for actions and tool buttons; it renders at any size.
    static QIcon icon(const QString &name, const QColor &color);
};
