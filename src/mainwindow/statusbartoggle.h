// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/statusbartogglestyle.h"

#include <QAbstractButton>

// A checkable status bar control drawn with StatusBarToggleStyle: its label shows as the symbol
// alone, the text serving as its accessible name. A click flips it whatever the style's flag; a
// caller that wants it inert disables the control itself as well.
class StatusBarToggle : public QAbstractButton
{
    Q_OBJECT

public:
    StatusBarToggle(const QString &symbol, const QString &text, QWidget *parent = nullptr);

    void setStyleFlags(StatusBarToggleStyle style);
    const StatusBarToggleStyle &toggleStyle() const { return m_style; }
    const QString &symbol() const { return m_symbol; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    StatusBarToggleStyle m_style;
};
