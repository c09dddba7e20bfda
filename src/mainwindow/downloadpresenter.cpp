// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/downloadpresenter.h"

#include "library/containermanager.h"
#include "mainwindow/downloadsheet.h"
#include "mainwindow/failurealert.h"

#include <QCoreApplication>
#include <QMetaObject>

DownloadPresenter::DownloadPresenter(
    ContainerManager &manager, ThumbnailProvider &thumbnails, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_thumbnails(thumbnails)
    , m_window(window)
{ }

void DownloadPresenter::openLink(const QString &link)
{
    // The completion may run on any thread and after this presenter is gone: it is queued to the
    // application object and finds the presenter through a guard that only the GUI thread reads.
    const QPointer<DownloadPresenter> self(this);
    m_manager.downloadContainer(
        link,
        [self](IconContainer container) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, container = std::move(container)] {
                    if (self)
                        self->presentContainer(container);
                },
                Qt::QueuedConnection);
        },
        [self](ContainerError error, const QString &reason) {
            // On the GUI thread, after the library's error was set.
            if (self)
                self->presentFailure(error, reason);
        });
}

void DownloadPresenter::presentFailure(ContainerError error, const QString &reason)
{
    m_alert = FailureAlert::show(m_window, errorDescription(error), reason);
    Q_EMIT failureShown(error, reason);
}

void DownloadPresenter::presentContainer(const IconContainer &container)
{
    m_containerToDownload = container;
    if (m_sheet)
        m_sheet->close();
    auto *sheet = new DownloadSheet(m_containerToDownload, m_manager, m_thumbnails, m_window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_sheet = sheet;
    sheet->open();
    Q_EMIT sheetOpened(sheet);
}
