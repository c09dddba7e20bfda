// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/foregroundlevel.h"

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// A value that paints the toggle, not a QStyle.
// The look of a status bar toggle: a small framed symbol that lights up in the accent colour when
// on. A plain value; `disabled` changes the look only.
struct StatusBarToggleStyle
{
    bool disabled = false;

    static constexpr int symbolSide = 14;
    static constexpr int verticalPadding = 3;
    static constexpr int horizontalPadding = 8;
    static constexpr qreal cornerRadius = 4;

    QColor foreground(const QPalette &palette, bool on) const;
    QSize size() const;
    void paint(QPainter &painter, const QRect &rect, const QPalette &palette, const QString &symbol, bool on) const;
};
