// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/containermanager.h"
#include "mainwindow/failurealert.h"
#include "model/iconcontainer.h"

#include <QDialog>
#include <QPointer>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;
class ThumbnailProvider;

// A dialog; "sheet" says how it shows (window-modal, over the window), not a Qt class.
// The sheet that shows a container that arrived through a download link: its title (as plain text:
// it comes from a stranger), its author, its icon count and a strip of its first icons. "Add to
// Library" asks the library once to save it and then to reload, and closes the sheet when the save
// has ended well; a failed save shows an alert over the sheet, which stays open for another try.
// "Close" and Escape close it without saving. With no container it says so and offers only "Close".
// Shown window-modal over the main window.
class DownloadSheet : public QDialog
{
    Q_OBJECT

public:
    // The strip shows at most this many icons, so that a huge download opens at once.
    static constexpr int maxStripIcons = 100;

    DownloadSheet(std::optional<IconContainer> container, ContainerManager &manager, ThumbnailProvider &thumbnails,
        QWidget *parent = nullptr);
    ~DownloadSheet() override;

    const std::optional<IconContainer> &container() const { return m_container; }
    // The alert of a failed save; null once it is closed.
    FailureAlert *alert() const { return m_alert; }

public Q_SLOTS:
    void addToLibrary();

private:
    void fillStrip();
    void showThumbnail(const QObject *requester, QUuid id);
    void saveEnded(const ContainerManager::SaveOutcome &outcome);

    std::optional<IconContainer> m_container;
    ContainerManager &m_manager;
    ThumbnailProvider &m_thumbnails;
    bool m_added = false;
    QPointer<FailureAlert> m_alert;

    QLabel *m_title = nullptr;
    QLabel *m_author = nullptr;
    QLabel *m_count = nullptr;
    QListWidget *m_strip = nullptr;
    QPushButton *m_addButton = nullptr;
};
