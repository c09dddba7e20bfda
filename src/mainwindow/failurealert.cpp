// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/failurealert.h"

#include <QApplication>

using namespace Qt::StringLiterals;

FailureAlert::FailureAlert(const QString &title, const QString &reason, QWidget *window)
    : QMessageBox(QMessageBox::Warning, QApplication::applicationDisplayName(), title, QMessageBox::Ok, window)
{
    setObjectName(u"failureAlert"_s);
    setTextFormat(Qt::PlainText);
    setInformativeText(reason);
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setDefaultButton(QMessageBox::Ok);
}

FailureAlert *FailureAlert::show(QWidget *window, const QString &title, const QString &reason)
{
    if (!window)
        return nullptr;
    auto *alert = new FailureAlert(title, reason, window->window());
    alert->open();
    return alert;
}
