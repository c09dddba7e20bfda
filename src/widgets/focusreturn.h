// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Gives the keyboard back after a dialog, sheet or alert closes: once it is hidden, the nearest
// visible window it was opened over is activated, unless another window of ours already is.
// Without this, a dialog closed from inside another (a question over a file dialog) can leave
// no window active, and the main window's shortcuts do nothing until the user clicks it.
// Installed once on the application; watches only hide events of windows with a parent.
class FocusReturn : public QObject
{
    Q_OBJECT

public:
    explicit FocusReturn(QObject *parent = nullptr);
    ~FocusReturn() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
