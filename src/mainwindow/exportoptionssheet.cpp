// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/exportoptionssheet.h"

#include "library/containermanager.h"
#include "library/librarywriter.h"
#include "library/utilities.h"
#include "mainwindow/exportdestinationdialog.h"
#include "model/containerdocument.h"
#include "model/iconfile.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QStandardPaths>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QLineEdit *authorField(QWidget *parent, const QString &name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMinimumWidth(280);
    return field;
}

} // namespace

ExportOptionsSheet::ExportOptionsSheet(std::optional<IconContainer> container, QWidget *parent, ExportOptions options)
    : QDialog(parent)
    , m_options(std::move(options))
    , m_container(std::move(container))
    , m_picker(&ExportOptionsSheet::chooseDestination)
{
    setWindowTitle(tr("Export"));
    setWindowModality(Qt::WindowModal);

    auto *form = new QWidget(this);
    auto *formLayout = new QFormLayout(form);
    auto *header = new QLabel(tr("Options"), form);
    QFont headline = header->font();
    headline.setBold(true);
    header->setFont(headline);
    formLayout->addRow(header);
    m_includeAuthorInfo = new QCheckBox(tr("Include author information"), form);
    formLayout->addRow(m_includeAuthorInfo);
    m_includeAuthorInfo->setObjectName(u"includeAuthorInfo"_s);
    m_authorName = authorField(form, u"authorName"_s);
    m_authorEmail = authorField(form, u"authorEmail"_s);
    m_authorURL = authorField(form, u"authorURL"_s);
    m_copyright = authorField(form, u"copyright"_s);
    formLayout->addRow(tr("Name:"), m_authorName);
    formLayout->addRow(tr("E-Mail:"), m_authorEmail);
    formLayout->addRow(tr("URL:"), m_authorURL);
    formLayout->addRow(tr("Copyright:"), m_copyright);

    auto *divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);

    auto *bar = new QWidget(this);
    bar->setBackgroundRole(QPalette::AlternateBase);
    bar->setAutoFillBackground(true);
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->addStretch();
    auto *cancelButton = new QPushButton(tr("Cancel"), bar);
    cancelButton->setObjectName(u"cancel"_s);
    cancelButton->setAutoDefault(false);
    m_exportButton = new QPushButton(tr("Export…"), bar);
    m_exportButton->setObjectName(u"export"_s);
    m_exportButton->setDefault(true);
    barLayout->addWidget(cancelButton);
    barLayout->addWidget(m_exportButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(form);
    layout->addWidget(divider);
    layout->addWidget(bar);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_failureAlert
        = new QMessageBox(QMessageBox::Warning, tr("Export failed"), tr("Export failed"), QMessageBox::Ok, this);
    m_failureAlert->setInformativeText(tr("The icon container could not be saved. Please try again."));
    m_failureAlert->setWindowModality(Qt::WindowModal);

    connect(m_includeAuthorInfo, &QCheckBox::toggled, this, [this](bool on) {
        m_options.includeAuthorInfo = on;
        showOptions();
    });
    const std::pair<QLineEdit *, QString AuthorInfo::*> fields[] = {
        { m_authorName, &AuthorInfo::authorName },
        { m_authorEmail, &AuthorInfo::authorEmail },
        { m_authorURL, &AuthorInfo::authorURL },
        { m_copyright, &AuthorInfo::copyright },
    };
    for (const auto &[field, member] : fields) {
        connect(field, &QLineEdit::textEdited, this,
            [this, member = member](const QString &text) { m_options.authorInfo.*member = text; });
    }
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_exportButton, &QPushButton::clicked, this, &ExportOptionsSheet::exportContainer);

    showOptions();
}

QString ExportOptionsSheet::proposedFileName(const IconContainer &container)
{
    return LibraryWriter::containerFolderName(container.title);
}

QString ExportOptionsSheet::chooseDestination(QWidget *parent, const QString &proposedName)
{
    ExportDestinationDialog dialog(
        parent, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), proposedName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosen();
}

ExportOptionsSheet *ExportOptionsSheet::openForSelection(
    const ContainerManager &library, QWidget *window, const QSet<QUuid> &selection)
{
    std::optional<IconContainer> container = Utilities::selectedContainer(library, selection);
    if (!container)
        return nullptr;
    auto *sheet = new ExportOptionsSheet(std::move(container), window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    // A reload after the icons' files changed gives the copy the files as they are now; the
    // author fields the user edited stay.
    connect(&library, &ContainerManager::containersChanged, sheet,
        [sheet, &library] { sheet->takeIconsFrom(library.containers()); });
    sheet->open();
    return sheet;
}

void ExportOptionsSheet::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        fillAuthorInfo();
    QDialog::showEvent(event);
}

void ExportOptionsSheet::fillAuthorInfo()
{
    if (!m_container)
        return;
    m_options.authorInfo = AuthorInfo {
        .authorName = m_container->authorName,
        .authorEmail = m_container->authorEmail,
        .authorURL = m_container->authorURL,
        .copyright = m_container->copyright,
    };
    showOptions();
}

void ExportOptionsSheet::showOptions()
{
    m_includeAuthorInfo->setChecked(m_options.includeAuthorInfo);
    // Only edits by the user reach the options, so setting the text here writes nothing back.
    m_authorName->setText(m_options.authorInfo.authorName);
    m_authorEmail->setText(m_options.authorInfo.authorEmail);
    m_authorURL->setText(m_options.authorInfo.authorURL);
    m_copyright->setText(m_options.authorInfo.copyright);
    for (QLineEdit *field : { m_authorName, m_authorEmail, m_authorURL, m_copyright })
        field->setEnabled(m_options.includeAuthorInfo);
}

void ExportOptionsSheet::exportContainer()
{
    if (!m_container)
        return;
    IconContainer container = *m_container;
    const AuthorInfo author = m_options.includeAuthorInfo ? m_options.authorInfo : AuthorInfo {};
    container.authorName = author.authorName;
    container.authorEmail = author.authorEmail;
    container.authorURL = author.authorURL;
    container.copyright = author.copyright;
    m_container = container;

    const QString chosen = m_picker(this, proposedFileName(container));
    // A cancelled dialog is no failure: the user is back at the sheet.
    if (chosen.isEmpty())
        return;
    // The sheet's alert is its own: nothing of a failed export goes to standard output.
    const ContainerResult<FolderWrapper> document = containerFileWrapper(container);
    if (!document) {
        const QString unreadable = unreadableIcon();
        showFailure(unreadable.isEmpty() ? errorDescription(document.error()) : unreadable, !unreadable.isEmpty());
        return;
    }
    QString reason;
    if (!document.value().write(ExportDestinationDialog::withDocumentExtension(chosen), &reason)) {
        showFailure(reason, false);
        return;
    }
    accept();
}

QString ExportOptionsSheet::unreadableIcon() const
{
    if (!m_container)
        return {};
    for (const Icon &icon : m_container->icons) {
        const IconData &data = iconFileData(icon);
        QString reason;
        if (data.isStored() && !data.read(&reason))
            return reason.isEmpty() ? errorDescription(ContainerError::missingIconData) : reason;
    }
    return {};
}

void ExportOptionsSheet::takeIconsFrom(const QList<IconContainer> &containers)
{
    if (!m_container || m_container->folderName.isEmpty())
        return;
    for (const IconContainer &container : containers) {
        if (container.folderName == m_container->folderName) {
            m_container->icons = container.icons;
            return;
        }
    }
}

void ExportOptionsSheet::showFailure(const QString &reason, bool staleIcons)
{
    const QString standing = tr("The icon container could not be saved. Please try again.");
    m_failureAlert->setInformativeText(reason.isEmpty() ? standing : standing + u"\n\n"_s + reason);
    m_failureAlert->open();
    // Trying again reads the files as they are now, once the library has read them.
    if (staleIcons)
        Q_EMIT iconFilesChanged();
}
