// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/exportdestinationdialog.h"

#include "platform/files/contenttype.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// `folder`, or the nearest folder above it that is no document.
QString outsideDocuments(const QString &folder)
{
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    while (ExportDestinationDialog::isDocumentFolder(path) && path != QFileInfo(path).absolutePath())
        path = QFileInfo(path).absolutePath();
    return path;
}

// The outermost document that `folder` lies in, as named or as it resolves; empty when none.
QString enclosingDocument(const QString &folder)
{
    for (const QString &form :
        { QDir::cleanPath(QFileInfo(folder).absoluteFilePath()), QFileInfo(folder).canonicalFilePath() }) {
        QString outermost;
        for (QString path = form; !path.isEmpty() && path != QFileInfo(path).absolutePath();
             path = QFileInfo(path).absolutePath()) {
            if (ExportDestinationDialog::isDocumentFolder(path))
                outermost = path;
        }
        if (!outermost.isEmpty())
            return outermost;
    }
    return {};
}

} // namespace

ExportDestinationDialog::ExportDestinationDialog(QWidget *parent, const QString &folder, const QString &proposedName)
    : QFileDialog(parent, tr("Export"), outsideDocuments(folder))
{
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters({ tr("rAvivovodes (*.ravivovode)") });
    selectFile(proposedName);
    // Opening a folder from the list enters it before anything can refuse; come straight back.
    connect(this, &QFileDialog::directoryEntered, this, [this](const QString &entered) {
        if (isDocumentFolder(entered))
            leaveDocument(entered);
    });
}

QString ExportDestinationDialog::withDocumentExtension(const QString &path)
{
    const QString extension = u'.' + ownContainerType().preferredFilenameExtension();
    if (path.endsWith(extension, Qt::CaseInsensitive))
        return path;
    return path + extension;
}

bool ExportDestinationDialog::isDocumentFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && ContentType::fromFileName(info.fileName(), true).conforms(ownContainerType());
}

void ExportDestinationDialog::leaveDocument(const QString &folder)
{
    const QFileInfo info(QDir::cleanPath(folder));
    setDirectory(info.absolutePath());
    selectFile(info.fileName());
}

void ExportDestinationDialog::accept()
{
    if (m_question)
        return;
    // Qt's dialog can list the folder it shows among the selected files, before the named item;
    // only the named item counts.
    const QString here = QDir::cleanPath(directory().absolutePath());
    QString selected;
    for (const QString &file : selectedFiles()) {
        if (QDir::cleanPath(file) != here) {
            selected = QDir::cleanPath(file);
            break;
        }
    }
    if (selected.isEmpty())
        return;
    // A plain folder is somewhere to go, as in any save dialog; a document is what is chosen.
    if (QFileInfo(selected).isDir() && !isDocumentFolder(selected)) {
        setDirectory(selected);
        return;
    }
    const QString path = withDocumentExtension(selected);
    // However the dialog came to show a document's inside (its history, a link, a typed path), a
    // destination there is never written: the dialog steps out to the document itself.
    if (const QString document = enclosingDocument(QFileInfo(path).absolutePath()); !document.isEmpty()) {
        leaveDocument(document);
        return;
    }
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        askToReplace(path);
    else
        choose(path);
}

void ExportDestinationDialog::askToReplace(const QString &path)
{
    auto *question = new QMessageBox(QMessageBox::Warning, windowTitle(),
        tr("“%1” already exists. Do you want to replace it?").arg(QFileInfo(path).fileName()),
        QMessageBox::Yes | QMessageBox::No, this);
    question->setDefaultButton(QMessageBox::No);
    question->setTextFormat(Qt::PlainText);
    question->setWindowModality(Qt::WindowModal);
    question->setAttribute(Qt::WA_DeleteOnClose);
    m_question = question;
    connect(question, &QMessageBox::finished, this, [this, question, path] {
        const bool replace = question->clickedButton() == question->button(QMessageBox::Yes);
        m_question = nullptr;
        if (replace)
            choose(path);
    });
    question->open();
}

void ExportDestinationDialog::choose(const QString &path)
{
    m_chosen = path;
    QDialog::accept();
}
