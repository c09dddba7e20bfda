// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>

class ContainerManager;

// The window's import road: the user picks older archives and folders of our own form, each is
// read and saved into the library in the order picked, and the library is reloaded once at the end
// so that the new containers are listed at once. A file or folder that does not read as a
// container prints one line and is skipped; the others are still imported. Saving reports through
// the library (standard output and its error). Reading and saving are the library's requests, run
// on its worker in the order picked, so the window never waits for the disk and hears nothing back.
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

public Q_SLOTS:
    // Opens the picker and imports what was chosen; whatever the import format asked for, both
    // forms are offered.
    void presentImporter();

private:
    ContainerManager &m_manager;
    QPointer<QWidget> m_dialogParent;
    FilePicker m_picker;
};
