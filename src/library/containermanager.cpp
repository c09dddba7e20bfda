// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"

#include "library/containerdownload.h"
#include "library/legacyimporter.h"
#include "library/libraryreader.h"
#include "library/librarywriter.h"
#include "model/containerdocument.h"

#include <QCoreApplication>
#include <QFont>
#include <QMetaObject>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// The text of `document` as inline rich text for a label: its emphasis only, paragraphs on lines of
// their own. Links become plain text and pictures are left out, so a title never makes a label
// load anything.
QString inlineRichText(const QTextDocument &document)
{
    QString html;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!html.isEmpty())
            html += u"<br>"_s;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat())
                continue;
            QString run = fragment.text().toHtmlEscaped();
            run.replace(QChar::LineSeparator, u"<br>"_s);
            const std::pair<bool, QStringView> tags[] = {
                { format.fontFixedPitch(), u"code" },
                { format.fontStrikeOut(), u"s" },
                { format.fontUnderline() && !format.isAnchor(), u"u" },
                { format.fontItalic(), u"i" },
                { format.fontWeight() >= QFont::Bold, u"b" },
            };
            for (const auto &[on, tag] : tags) {
                if (on)
                    run = u"<%1>%2</%1>"_s.arg(tag, run);
            }
            html += run;
        }
    }
    return html;
}

} // namespace

ContainerManager &ContainerManager::shared()
{
    // Never destroyed: the library lives to the end of the process.
    static ContainerManager *instance = [] {
        auto *manager = new ContainerManager;
        if (auto *app = QCoreApplication::instance(); app && manager->thread() != app->thread())
            manager->moveToThread(app->thread());
        return manager;
    }();
    return *instance;
}

ContainerManager::ContainerManager() = default;

void ContainerManager::setContainers(QList<IconContainer> containers)
{
    m_containers = std::move(containers);
    Q_EMIT containersChanged();
}

void ContainerManager::setIconLookupSet(QSet<IconLookup> lookups)
{
    m_iconLookupSet = std::move(lookups);
    Q_EMIT iconLookupSetChanged();
}

void ContainerManager::setError(std::optional<ContainerError> error)
{
    m_error = error;
    Q_EMIT errorChanged();
}

void ContainerManager::postToGuiThread(std::function<void()> work)
{
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void ContainerManager::insertLookupQueued(const IconLookup &lookup)
{
    postToGuiThread([this, lookup] {
        m_iconLookupSet.insert(lookup);
        Q_EMIT iconLookupSetChanged();
    });
}

void ContainerManager::setErrorQueued(ContainerError error)
{
    postToGuiThread([this, error] { setError(error); });
}

std::optional<QString> ContainerManager::libraryFolderURL()
{
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataFolder.isEmpty())
        return std::nullopt;
    const QString folder = dataFolder + u"/Glimbar/Library"_s;
    if (!LibraryWriter::makeFolder(folder))
        return std::nullopt;
    return folder;
}

void ContainerManager::loadLibrary()
{
    const std::optional<QString> folder = libraryFolderURL();
    if (!folder)
        return;
    // What saves and downloads killed part-way left behind, removed before the library is read.
    LibraryWriter::removeLeftovers(*folder);
    ContainerDownload::removeStaleFolders();
    std::optional<QList<IconContainer>> containers
        = LibraryReader::readLibrary(*folder, [this](const IconLookup &lookup) { insertLookupQueued(lookup); });
    if (!containers)
        return;
    postToGuiThread([this, containers = std::move(*containers)]() mutable { setContainers(std::move(containers)); });
}

IconContainer ContainerManager::loadIcons(const IconContainer &container, const QString &folder)
{
    return LibraryReader::readIcons(
        container, folder, [this](const IconLookup &lookup) { insertLookupQueued(lookup); });
}

QString ContainerManager::creditLine(const IconContainer &container)
{
    // The title is markdown on purpose: markup in it takes effect, as the collection's author meant.
    // HTML in it stays text, as the platform's markdown reader leaves it. Qt's reader takes time
    // that grows with the square of the spans in the text, so a title far longer than any real one
    // (info.json comes from strangers) is shown as it is, which costs nothing.
    constexpr qsizetype maxMarkdownTitleLength = 1000;
    QString line;
    if (container.title.size() <= maxMarkdownTitleLength) {
        QTextDocument document;
        document.setMarkdown(u"**"_s + container.title + u"**"_s,
            QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub | QTextDocument::MarkdownNoHTML));
        line = inlineRichText(document);
    }
    // Markdown may leave no text (a title of asterisks becomes a rule); the title still shows.
    if (line.isEmpty() && !container.title.trimmed().isEmpty())
        line = u"<b>"_s + container.title.toHtmlEscaped() + u"</b>"_s;
    if (!container.authorName.isEmpty())
        line += u" by "_s + container.authorName.toHtmlEscaped();
    return line;
}

std::optional<IconContainer> ContainerManager::importLegacyContainer(const QString &path)
{
    return LegacyImporter::importArchive(path);
}

void ContainerManager::saveContainer(const IconContainer &container, const QString &libraryFolder)
{
    if (!LibraryWriter::saveContainer(container, libraryFolder))
        setErrorQueued(ContainerError::writeContainerFailed);
}

ContainerResult<void> ContainerManager::writeContainerInfo(const IconContainer &container, const QString &folder)
{
    const auto fileNames = containerIconFileNames(container);
    if (!fileNames)
        return fileNames.error();
    return LibraryWriter::writeContainerInfo(container, fileNames.value(), folder);
}

void ContainerManager::downloadContainer(const QString &link, DownloadCompletion completion)
{
    ContainerDownload::start(
        this, link, [this, completion = std::move(completion)](ContainerDownload::Outcome outcome) {
            if (outcome.error)
                setError(*outcome.error);
            if (!outcome.container)
                return;
            for (const Icon &icon : std::as_const(outcome.container->icons))
                m_iconLookupSet.insert(IconLookup { icon.id, icon.containerID });
            if (!outcome.container->icons.isEmpty())
                Q_EMIT iconLookupSetChanged();
            completion(*std::move(outcome.container));
        });
}
