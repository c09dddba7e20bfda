// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/failurealert.h"
#include "model/containererror.h"
#include "model/iconcontainer.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class ContainerManager;
class DownloadSheet;

class ThumbnailProvider;

// The window's download road: an opened link is handed to the library's download, and a container
// that arrives is kept as the one to download and shown in a download sheet over the window, on the
// GUI thread whatever thread the download answers on. A failed download shows an alert over the
// window: the library's error, and the reason beneath it. A new arrival replaces the sheet of an
// earlier one.
class DownloadPresenter : public QObject
{
    Q_OBJECT

public:
    DownloadPresenter(
        ContainerManager &manager, ThumbnailProvider &thumbnails, QWidget *window, QObject *parent = nullptr);

    // The last container that arrived; kept until the next one.
    const std::optional<IconContainer> &containerToDownload() const { return m_containerToDownload; }
    // The sheet shown now; null when none is.
    DownloadSheet *sheet() const { return m_sheet; }
    // The alert of the last failed download; null once it is closed.
    FailureAlert *alert() const { return m_alert; }

public Q_SLOTS:
    // `link` as the system handed it over ("glimbar://download/…").
    void openLink(const QString &link);
    // Shows `container` in a new sheet, closing one already shown.
    void presentContainer(const IconContainer &container);
    // Tells the user that a download failed.
    void presentFailure(ContainerError error, const QString &reason);

Q_SIGNALS:
    void sheetOpened(DownloadSheet *sheet);
    void failureShown(ContainerError error, const QString &reason);

private:
    ContainerManager &m_manager;
    ThumbnailProvider &m_thumbnails;
    QPointer<QWidget> m_window;
    std::optional<IconContainer> m_containerToDownload;
    QPointer<DownloadSheet> m_sheet;
    QPointer<FailureAlert> m_alert;
};
