// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/statusbartoggle.h"

#include <QPainter>

StatusBarToggle::StatusBarToggle(const QString &symbol, const QString &text, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
{
    setText(text);
    setAccessibleName(text);
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StatusBarToggle::setStyleFlags(StatusBarToggleStyle style)
{
    m_style = style;
    update();
}

QSize StatusBarToggle::sizeHint() const
{
    return m_style.size();
}

void StatusBarToggle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_style.paint(painter, rect(), palette(), m_symbol, isChecked());
}
