// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/containermanager.h"
#include "mainwindow/failurealert.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>

// The window's import road: the user picks older archives and folders of our own form, each is
// read and saved into the library in the order picked, and the library is reloaded once at the end
// so that the new containers are listed at once. A file or folder that does not read as a
// container prints one line and is skipped; the others are still imported. Saving reports through
// the library (standard output and its error). Reading and saving are the library's requests, run
// on its worker in the order picked, so the window never waits for the disk. Once the last has
// ended, one alert over the window lists every file that was not imported, with its reason.
class ContainerImporter : public QObject
{
    Q_OBJECT

public:
    // What the user chose, as file URLs; empty when the dialog was cancelled.
    using FilePicker = std::function<QList<QUrl>(QWidget *parent)>;

    explicit ContainerImporter(ContainerManager &manager, QWidget *dialogParent = nullptr, QObject *parent = nullptr);

    // Replaces the file dialog, for tests.
    void setFilePicker(FilePicker picker) { m_picker = std::move(picker); }

    // Imports `urls` in order; URLs that are not local files are skipped without a message.
    void importUrls(const QList<QUrl> &urls);

    // The dialog used unless a picker is set: several files at once, archives and folders alike.
    static QList<QUrl> chooseFiles(QWidget *parent);

    // The alert's line for a file that was not imported.
    static QString failureLine(const QString &fileName, const ContainerManager::SaveOutcome &outcome);
    // The alert of the last batch that failed; null once it is closed.
    FailureAlert *alert() const { return m_alert; }

Q_SIGNALS:
    // After a batch, when some of its files were not imported: the alert's title and its lines.
    void failuresShown(const QString &title, const QStringList &lines);

public Q_SLOTS:
    // Opens the picker and imports what was chosen; whatever the import format asked for, both
    // forms are offered.
    void presentImporter();

private:
    struct Failure
    {
        QString fileName;
        ContainerManager::SaveOutcome outcome;
    };
    struct Batch
    {
        int pending = 0;
        int total = 0;
        QList<Failure> failures;
    };
    void showFailures(const QList<Failure> &failures, bool nothingImported);

    ContainerManager &m_manager;
    QPointer<FailureAlert> m_alert;
    QPointer<QWidget> m_dialogParent;
    FilePicker m_picker;
};
