// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

// The save dialog for an exported rAvivovode document. An rAvivovode is a folder, but to the user
// it is one document: the dialog never stays inside one (opening one brings the dialog back to its
// parent with the document's name chosen), and naming one, typed or picked, chooses it. The name
// chosen always ends in ".ravivovode", and when something of that final name exists the user is
// asked before it is replaced; "No" returns to the dialog. Qt's own dialog is used, as a native one
// would open such a folder.
class ExportDestinationDialog : public QFileDialog
{
    Q_OBJECT

public:
    // Opens in `folder` (or, when that is a document, the folder that holds it), proposing
    // `proposedName` there.
    ExportDestinationDialog(QWidget *parent, const QString &folder, const QString &proposedName);

    // The full path of the document to write, with its extension; empty until accepted.
    QString chosen() const { return m_chosen; }
    // The open question whether to replace an existing item, if any.
    QMessageBox *replaceQuestion() const { return m_question; }

    // `path` with ".ravivovode" appended unless it already ends so.
    static QString withDocumentExtension(const QString &path);
    // Whether `path` is an rAvivovode folder, which the dialog treats as a document.
    static bool isDocumentFolder(const QString &path);

public Q_SLOTS:
    void accept() override;

private:
    void leaveDocument(const QString &folder);
    void askToReplace(const QString &path);
    void choose(const QString &path);

    QString m_chosen;
    QPointer<QMessageBox> m_question;
};
