// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/motionpolicy.h"
#include "widgets/statusbartogglestyle.h"

#include <QAbstractButton>

// A checkable status bar control drawn with StatusBarToggleStyle: its label shows as the symbol
// alone, the text serving as its accessible name. A click flips it whatever the style's flag; a
// caller that wants it inert disables the control itself as well. However its state changes (a
// click, or setChecked() from its setting), its look cross-fades with the standard timing.
class MotionAnimation;

class StatusBarToggle : public QAbstractButton
{
    Q_OBJECT

public:
    StatusBarToggle(const QString &symbol, const QString &text, QWidget *parent = nullptr);

    void setStyleFlags(StatusBarToggleStyle style);
    const StatusBarToggleStyle &toggleStyle() const { return m_style; }
    const QString &symbol() const { return m_symbol; }

    // Nothing moves until a policy is handed in.
    void setMotionPolicy(const MotionPolicy &policy);

    QSize sizeHint() const override;

protected:
    void checkStateSet() override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    StatusBarToggleStyle m_style;
    // 0 off, 1 on.
    MotionAnimation *m_onness;
};
