// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/listactionbuttonstyle.h"

#include <QAbstractButton>

// A button of the list actions bar: a 32-point square with a symbol, or a text button as wide as
// its text. A disabled style disables the button too, so a dimmed button never runs its action.
class ListActionButton : public QAbstractButton
{
    Q_OBJECT

public:
    // A square button showing `symbol`; `title` is its accessible name and its tool tip.
    ListActionButton(const QString &symbol, const QString &title, QWidget *parent = nullptr);
    // A text button (the style's flexibleWidth is set).
    explicit ListActionButton(const QString &text, QWidget *parent = nullptr);

    void setStyleFlags(ListActionButtonStyle style);
    const ListActionButtonStyle &buttonStyle() const { return m_style; }
    const QString &symbol() const { return m_symbol; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    ListActionButtonStyle m_style;
};
