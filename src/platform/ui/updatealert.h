// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>

class Updater;

// The updater's answers on screen: a newer version is shown with a button that opens its page;
// "no update", and a check that failed, only after a check the user asked for. One alert at a
// time: a new answer replaces the open one.
class UpdateAlert : public QObject
{
    Q_OBJECT

public:
    explicit UpdateAlert(Updater &updater, QObject *parent = nullptr);
    ~UpdateAlert() override;

    // The alert on screen, if any.
    QMessageBox *alert() const { return m_alert; }

private:
    void show(QMessageBox *alert);

    QPointer<QMessageBox> m_alert;
};
