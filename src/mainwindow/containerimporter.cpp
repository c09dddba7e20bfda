// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/containerimporter.h"

#include "library/containermanager.h"
#include "library/libraryreader.h"
#include "mainwindow/failurealert.h"
#include "platform/files/contenttype.h"
#include "platform/text/printabletext.h"
#include "platform/text/printedlines.h"
#include "platform/text/standardoutput.h"
#include "platform/text/translationcontext.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr TranslationContext tr { "ContainerImporter" };

bool isContainerFolder(const QFileInfo &info)
{
    return info.isDir() && ContentType::fromFileName(info.fileName(), true).conforms(ownContainerType());
}

// Qt's own dialog opens every folder it is asked to accept; ours are documents, so a chosen
// rAvivovode folder (or the one the user has opened, with nothing selected in it) is taken as it is.
class ImportDialog : public QFileDialog
{
public:
    explicit ImportDialog(QWidget *parent)
        : QFileDialog(parent, tr("Import"))
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::ExistingFiles);
        setAcceptMode(QFileDialog::AcceptOpen);
        setNameFilters({ tr("rAvivovodes (*.ravivovode)"), tr("All files (*)") });
    }

    QStringList chosen() const { return m_chosen; }

    void accept() override
    {
        QStringList files = selectedFiles();
        if (files.isEmpty() && isContainerFolder(QFileInfo(directory().absolutePath())))
            files = { directory().absolutePath() };
        const bool documents = !files.isEmpty() && std::all_of(files.cbegin(), files.cend(), [](const QString &file) {
            const QFileInfo info(file);
            return info.isFile() || isContainerFolder(info);
        });
        if (!documents) {
            QFileDialog::accept();
            if (result() == QDialog::Accepted)
                m_chosen = selectedFiles();
            return;
        }
        m_chosen = files;
        QDialog::accept();
    }

private:
    QStringList m_chosen;
};

// The container that a chosen item holds; none, after saying why, when it holds none.
std::optional<IconContainer> readChosen(ContainerManager &manager, const QFileInfo &info)
{
    if (info.isDir()) {
        // The reader prints what is wrong with the folder; the line that names it goes first in
        // the alert, so it is kept aside until then.
        std::optional<IconContainer> container;
        QStringList readerLines;
        {
            PrintedLines printed;
            container = LibraryReader::readContainerInfo(info.filePath());
            readerLines = printed.take();
        }
        if (!container) {
            printLine(
                tr("“%1” couldn’t be imported: it isn’t an rAvivovode folder.").arg(printableText(info.fileName())));
            for (const QString &line : std::as_const(readerLines))
                PrintedLines::note(line);
            return std::nullopt;
        }
        for (const QString &line : std::as_const(readerLines))
            PrintedLines::note(line);
        // Its icons are known to the library from the reload after the import, under their new ids.
        return LibraryReader::readIcons(*container, info.filePath(), [](const IconLookup &) {});
    }
    std::optional<IconContainer> container = manager.importLegacyContainer(info.filePath());
    if (!container)
        printLine(tr("“%1” couldn’t be imported: it isn’t an rAvivovode archive.").arg(printableText(info.fileName())));
    return container;
}

} // namespace

ContainerImporter::ContainerImporter(ContainerManager &manager, QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_dialogParent(dialogParent)
    , m_picker(&ContainerImporter::chooseFiles)
{ }

QList<QUrl> ContainerImporter::chooseFiles(QWidget *parent)
{
    ImportDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QList<QUrl> urls;
    for (const QString &file : dialog.chosen())
        urls.append(QUrl::fromLocalFile(file));
    return urls;
}

void ContainerImporter::presentImporter()
{
    const QList<QUrl> urls = m_picker(m_dialogParent);
    if (!urls.isEmpty())
        importUrls(urls);
}

void ContainerImporter::importUrls(const QList<QUrl> &urls)
{
    // Requests of the library, which outlives the window: their outcomes come back to this
    // importer while it lives, and the batch's alert waits for the last of them.
    const auto batch = std::make_shared<Batch>();
    const QPointer<ContainerImporter> self(this);
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        ++batch->pending;
        m_manager.saveIntoLibrary([&manager = m_manager, path] { return readChosen(manager, QFileInfo(path)); },
            [self, batch, name = QFileInfo(path).fileName()](const ContainerManager::SaveOutcome &outcome) {
                if (!outcome.saved)
                    batch->failures.append({ name, outcome });
                if (--batch->pending == 0 && self && !batch->failures.isEmpty())
                    self->showFailures(batch->failures, batch->failures.size() == batch->total);
            });
        ++batch->total;
    }
    m_manager.loadLibrary();
}

QString ContainerImporter::failureLine(const QString &fileName, const ContainerManager::SaveOutcome &outcome)
{
    const QString name = printableText(fileName);
    // A file that gave no container already says so in its own line, which names it.
    if (!outcome.error)
        return outcome.reasons.isEmpty() ? tr("“%1” couldn’t be imported.").arg(name) : outcome.reasons.join(u'\n');
    return tr("“%1” couldn’t be saved into the library: %2").arg(name, outcome.reasons.join(u'\n'));
}

void ContainerImporter::showFailures(const QList<Failure> &failures, bool nothingImported)
{
    // The library's own text where the library failed; the rest are files that held no container.
    QString title;
    for (const Failure &failure : failures) {
        if (failure.outcome.error) {
            title = errorDescription(*failure.outcome.error);
            break;
        }
    }
    if (title.isEmpty()) {
        if (!nothingImported)
            title = tr("Some files couldn’t be imported.");
        else
            title = failures.size() == 1 ? tr("The file couldn’t be imported.") : tr("The files couldn’t be imported.");
    }
    QStringList lines;
    for (const Failure &failure : failures)
        lines.append(failureLine(failure.fileName, failure.outcome));
    m_alert = FailureAlert::show(m_dialogParent, title, lines.join(u"\n\n"_s));
    Q_EMIT failuresShown(title, lines);
}
