// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/exportoptions.h"
#include "model/iconcontainer.h"

#include <QDialog>
#include <QSet>
#include <QUuid>

#include <functional>
#include <optional>

class QCheckBox;
class ContainerManager;
class QLineEdit;
class QMessageBox;
class QPushButton;

// A dialog; "sheet" says how it shows (window-modal, over the window), not a Qt class.
// The sheet that exports one container as an rAvivovode document. It holds its own copy of the
// container: editing the author fields changes that copy only, never the library. Each time it is
// shown it fills the four author fields from the container; "Export…" writes them into the copy
// (or clears all four while "Include author information" is off) and writes the document to where
// the user picks. The document appears there whole or not at all: an existing document there stays
// as it was until the new one has been written completely. A failed write shows the alert "Export
// failed", with the reason beneath its text, and keeps the sheet open; icon files changed since the
// library was read ask for a reload (iconFilesChanged()), which gives the copy the new files; a cancelled dialog
// returns to the sheet as it was; a written document closes the sheet as accepted. Shown window-modal over the main
// window.
class ExportOptionsSheet : public QDialog
{
    Q_OBJECT

public:
    // The destination chosen for `proposedName`, a full path; empty when cancelled. The sheet
    // appends ".ravivovode" when it is missing.
    using DestinationPicker = std::function<QString(QWidget *parent, const QString &proposedName)>;

    explicit ExportOptionsSheet(
        std::optional<IconContainer> container, QWidget *parent = nullptr, ExportOptions options = {});

    // Replaces the save dialog, for tests.
    void setDestinationPicker(DestinationPicker picker) { m_picker = std::move(picker); }

    // The sheet's copy of the container, with the author fields of the last "Export…".
    const std::optional<IconContainer> &container() const { return m_container; }
    const ExportOptions &options() const { return m_options; }

    // The name the save dialog proposes: the title made safe, with the document's extension.
    static QString proposedFileName(const IconContainer &container);

    // The save dialog, opened in the user's documents folder; the path it returns already ends in
    // ".ravivovode" and was confirmed when something of that name exists.
    static QString chooseDestination(QWidget *parent, const QString &proposedName);

    // Opens the sheet window-modal over `window` for the one selected container; none, and no sheet,
    // unless exactly one container is selected and the library holds it. The sheet deletes itself
    // when closed.
    static ExportOptionsSheet *openForSelection(
        const ContainerManager &library, QWidget *window, const QSet<QUuid> &selection);

    // Gives the copy the icons of the library's container of the same folder, as a reload read
    // them; the copy's other fields stay.
    void takeIconsFrom(const QList<IconContainer> &containers);
    // The alert shown when an export fails.
    QMessageBox *failureAlert() const { return m_failureAlert; }

public Q_SLOTS:
    void exportContainer();

Q_SIGNALS:
    // An export failed on icon files that changed since the library was read.
    void iconFilesChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillAuthorInfo();
    void showOptions();
    // The alert's standing text, and beneath it the reason in the system's words.
    void showFailure(const QString &reason, bool staleIcons);
    // Why the first icon whose stored file cannot be read as it was found cannot; empty when none.
    QString unreadableIcon() const;

    ExportOptions m_options;
    std::optional<IconContainer> m_container;
    DestinationPicker m_picker;

    QCheckBox *m_includeAuthorInfo = nullptr;
    QLineEdit *m_authorName = nullptr;
    QLineEdit *m_authorEmail = nullptr;
    QLineEdit *m_authorURL = nullptr;
    QLineEdit *m_copyright = nullptr;
    QPushButton *m_exportButton = nullptr;
    QMessageBox *m_failureAlert = nullptr;
};
