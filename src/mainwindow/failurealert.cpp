// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/failurealert.h"

#include <QApplication>
#include <QLabel>

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
    // The title stands out from the reasons, and a reason of a few lines keeps its sentences whole
    // instead of wrapping every few words in the message box's narrow default.
    if (auto *titleLabel = findChild<QLabel *>(u"qt_msgbox_label"_s)) {
        QFont bold = titleLabel->font();
        bold.setBold(true);
        titleLabel->setFont(bold);
    }
    if (auto *reasonLabel = findChild<QLabel *>(u"qt_msgbox_informativelabel"_s))
        reasonLabel->setMinimumWidth(reasonLabel->fontMetrics().averageCharWidth() * 56);
}

FailureAlert *FailureAlert::show(QWidget *window, const QString &title, const QString &reason)
{
    if (!window)
        return nullptr;
    auto *alert = new FailureAlert(title, reason, window->window());
    alert->open();
    return alert;
}
