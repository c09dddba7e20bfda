// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/iconpreviewsizestepperbuttonstyle.h"

#include <QAbstractButton>

// The minus or plus button of the preview-size stepper: a drawn symbol, titled for assistive
// technology, that remembers the modifier keys of the click that pressed it (Alt jumps to the
// smallest or largest size).
class IconPreviewSizeStepperButton : public QAbstractButton
{
    Q_OBJECT

public:
    // Leading buttons show a minus, trailing ones a plus.
    IconPreviewSizeStepperButton(
        IconPreviewSizeStepperButtonPosition position, const QString &title, QWidget *parent = nullptr);

    // The modifiers held when the last click or key press activated the button.
    Qt::KeyboardModifiers activationModifiers() const { return m_modifiers; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    QSize symbolSize() const;

    IconPreviewSizeStepperButtonPosition m_position;
    Qt::KeyboardModifiers m_modifiers;
};
