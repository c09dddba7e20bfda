// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/updatealert.h"

#include "platform/net/updater.h"
#include "platform/text/printabletext.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

UpdateAlert::UpdateAlert(Updater &updater, QObject *parent)
    : QObject(parent)
{
    connect(&updater, &Updater::updateFound, this, [this](const QString &version, const QUrl &link) {
        auto *alert = new QMessageBox(QMessageBox::Information, tr("Software Update"),
            tr("Glimbar %1 is available.").arg(printableText(version, 40)), QMessageBox::Close);
        alert->setInformativeText(tr("Install it with your package manager, or see its page for more."));
        QPushButton *open = alert->addButton(tr("Open Page"), QMessageBox::AcceptRole);
        connect(open, &QPushButton::clicked, alert, [link] { QDesktopServices::openUrl(link); });
        show(alert);
    });
    connect(&updater, &Updater::noUpdateFound, this, [this, &updater](const QString &reason) {
        if (updater.lastCheckWasScheduled())
            return;
        auto *alert = new QMessageBox(
            QMessageBox::Information, tr("Software Update"), tr("No update is available."), QMessageBox::Close);
        alert->setInformativeText(reason);
        show(alert);
    });
    connect(&updater, &Updater::checkFailed, this, [this, &updater](const QString &error) {
        if (updater.lastCheckWasScheduled())
            return;
        auto *alert = new QMessageBox(
            QMessageBox::Warning, tr("Software Update"), tr("The check for updates failed."), QMessageBox::Close);
        alert->setInformativeText(error);
        show(alert);
    });
}

UpdateAlert::~UpdateAlert()
{
    delete m_alert;
}

void UpdateAlert::show(QMessageBox *alert)
{
    delete m_alert;
    m_alert = alert;
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setTextFormat(Qt::PlainText);
    alert->show();
}
