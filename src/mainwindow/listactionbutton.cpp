// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/listactionbutton.h"

#include <QPainter>

ListActionButton::ListActionButton(const QString &symbol, const QString &title, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
{
    setToolTip(title);
    setAccessibleName(title);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

ListActionButton::ListActionButton(const QString &text, QWidget *parent)
    : QAbstractButton(parent)
{
    setText(text);
    m_style.flexibleWidth = true;
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ListActionButton::setStyleFlags(ListActionButtonStyle style)
{
    m_style = style;
    setEnabled(!style.disabled);
    updateGeometry();
    update();
}

QSize ListActionButton::sizeHint() const
{
    return m_style.size(fontMetrics().horizontalAdvance(text()));
}

QSize ListActionButton::minimumSizeHint() const
{
    return sizeHint();
}

void ListActionButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_style.paint(painter, rect(), palette(), m_symbol, text());
}
