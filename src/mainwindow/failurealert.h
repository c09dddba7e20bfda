// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>

// Tells the user, over the window where it happened, that something failed: `title` in the
// alert's own text, `reason` (the system's words, one paragraph per line) beneath it. Window-modal
// and never waited for: open() returns at once, the alert deletes itself when it closes, and the
// window it covers is active again afterwards. Both texts are plain: names from outside data
// cannot become markup.
class FailureAlert : public QMessageBox
{
    Q_OBJECT

public:
    FailureAlert(const QString &title, const QString &reason, QWidget *window);

    // Opens a new alert over `window`; null when there is no window to show it over.
    static FailureAlert *show(QWidget *window, const QString &title, const QString &reason);
};
