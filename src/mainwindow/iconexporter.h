// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/iconselectionmanager.h"
#include "mainwindow/failurealert.h"
#include "model/icon.h"
#include "model/result.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <memory>

class ContainerManager;
class FileIconSetter;
class Settings;

// The window's icon export: the icons go into a folder the user picks, each written as what a drag
// of it would hand over first (its custom-icon folder, or its own ICNS or PNG data, as the drag
// settings say). Nothing already in the folder is replaced: a taken name gets a number. The saved
// URLs are printed as "Saved icons to [url, url]"; a failure prints why, shows it in an alert over
// the window and removes whatever this export had written, so the folder is left as it was. A
// folder whose icon could not be set is such a failure. An icon whose file changed since the
// library was read fails with the reader's reason and asks for the library to be read again
// (iconFilesChanged()). Runs on the GUI thread.
class IconExporter : public QObject
{
    Q_OBJECT

public:
    // The folder chosen; empty when the dialog was cancelled.
    using FolderPicker = std::function<QString(QWidget *parent)>;

    // Folders get their custom icons through `iconSetter`; what an icon becomes follows `settings`.
    IconExporter(std::shared_ptr<FileIconSetter> iconSetter, const Settings &settings, QWidget *dialogParent = nullptr,
        QObject *parent = nullptr);

    // Replaces the folder dialog, for tests.
    void setFolderPicker(FolderPicker picker) { m_picker = std::move(picker); }

    // The icons an export hands over: the selected icons in selection order; when none of them
    // resolves, every icon of the selected containers, containers in library order.
    static QList<Icon> exportItems(
        const ContainerManager &library, const IconSelection &iconSelection, const QSet<QUuid> &containerSelection);

    // Writes `icons` into `folder`, in order; the URL of each item written (folders end in "/"),
    // or the message of the first failure, after removing what was written.
    static Result<QList<QUrl>, QString> writeIcons(const QList<Icon> &icons, const QString &folder,
        const std::shared_ptr<FileIconSetter> &iconSetter, const Settings &settings);

    // "Saved icons to " and the URLs in square brackets, separated by ", ".
    static QString savedLine(const QList<QUrl> &urls);

    static QString chooseFolder(QWidget *parent);

    // The alert of the last failed export; null once it is closed.
    FailureAlert *alert() const { return m_alert; }

Q_SIGNALS:
    void exportFailed(const QString &reason);
    // Some of the icons' files changed since the library was read.
    void iconFilesChanged();

public Q_SLOTS:
    // Asks for a folder and writes the icons there, printing the result; does nothing without
    // icons or when the dialog is cancelled.
    void exportIcons(const QList<Icon> &icons);

private:
    std::shared_ptr<FileIconSetter> m_iconSetter;
    const Settings &m_settings;
    QPointer<QWidget> m_dialogParent;
    FolderPicker m_picker;
    QPointer<FailureAlert> m_alert;
};
