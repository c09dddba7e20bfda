// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/libraryreader.h"

#include "library/iconordering.h"
#include "model/containerjson.h"
#include "platform/files/contenttype.h"
#include "platform/files/nativefiles.h"
#include "platform/files/storedfile.h"
#include "platform/files/storedfilecache.h"
#include "platform/images/platformimage.h"
#include "platform/text/standardoutput.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace {

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

const ContentType *contentTypeOf(const FolderMember &member)
{
    switch (*member.kind) {
    case FolderMember::Kind::regularFile:
        return &ContentType::fromFileName(member.name, false);
    case FolderMember::Kind::folder:
        return &ContentType::fromFileName(member.name, true);
    case FolderMember::Kind::other:
        break;
    }
    return nullptr;
}

// The kind of icon a member holds; none for any other member (info.json among them).
std::optional<IconFileType> iconFileType(const ContentType &type)
{
    if (type.conforms(ContentType::icns()))
        return IconFileType::icns;
    if (type.conforms(ContentType::png()))
        return IconFileType::image;
    return std::nullopt;
}

// How much of an icon file a load reads: its header, and the whole of most small files. The rest
// is read when the icon is drawn, dragged or saved.
constexpr qsizetype iconHeaderReadLength = qsizetype(32) << 10;

} // namespace

struct LibraryReader::FolderRead
{
    std::optional<IconContainer> container;
    QList<IconLookup> lookups;
    QStringList lines;
};

std::optional<QList<IconContainer>> LibraryReader::readLibrary(
    const QString &libraryFolder, const IconRead &iconRead, int folderReaders, const TitlesRead &titlesRead)
{
    // One cache for the whole load: it goes when the last of its icons does.
    const auto storedFiles = std::make_shared<StoredFileCache>();
    QString failure;
    const auto members = listVisibleMembers(nativePath(libraryFolder), &failure);
    if (!members) {
        printLine(failure);
        return std::nullopt;
    }
    // The folders are read in parallel, but what each one yields (its lines, its icons' lookups, its
    // container) is handed on in name order, as a load that read them one by one would.
    QList<const FolderMember *> folders;
    const FolderMember *unknownKind = nullptr;
    for (const FolderMember &member : *members) {
        if (!member.kind) {
            unknownKind = &member;
            break;
        }
        const ContentType *type = contentTypeOf(member);
        if (type && type->conforms(ownContainerType()))
            folders.append(&member);
    }
    std::vector<FolderRead> reads(size_t(folders.size()));
    const auto inParallel = [&](const std::function<void(qsizetype)> &readOne) {
        std::atomic<qsizetype> nextFolder { 0 };
        const auto readFolders = [&] {
            for (qsizetype i; (i = nextFolder.fetch_add(1, std::memory_order_relaxed)) < folders.size();)
                readOne(i);
        };
        std::vector<std::jthread> readers;
        const qsizetype helpers = std::min(qsizetype(std::max(folderReaders, 1)), folders.size()) - 1;
        for (qsizetype i = 0; i < helpers; ++i) {
            try {
                readers.emplace_back(readFolders);
            } catch (const std::system_error &) {
                break; // out of threads: those started, and this one, read every folder all the same
            }
        }
        readFolders();
    };
    // Every info.json first, so that the titles are known before the first icon file is read.
    inParallel(
        [&](qsizetype i) { reads[size_t(i)] = readLibraryFolderInfo(folders.at(i)->nativePath, folders.at(i)->name); });
    if (titlesRead && !unknownKind) {
        QList<IconContainer> titles;
        titles.reserve(folders.size());
        for (const FolderRead &read : reads) {
            if (read.container)
                titles.append(*read.container);
        }
        titlesRead(std::move(titles));
    }
    inParallel([&](qsizetype i) { readLibraryFolderIcons(folders.at(i)->nativePath, reads[size_t(i)], storedFiles); });

    QList<IconContainer> containers;
    containers.reserve(folders.size());
    for (FolderRead &read : reads) {
        for (const IconLookup &lookup : std::as_const(read.lookups))
            iconRead(lookup);
        for (const QString &line : std::as_const(read.lines))
            printLine(line);
        if (read.container)
            containers.append(*std::move(read.container));
    }
    if (unknownKind) {
        printLine(unknownKind->kindError);
        return std::nullopt;
    }
    return containers;
}

LibraryReader::FolderRead LibraryReader::readLibraryFolderInfo(const QByteArray &folder, const QString &folderName)
{
    FolderRead read;
    read.container = readContainerInfo(folder, folderName, [&read](const QString &line) { read.lines.append(line); });
    if (read.container)
        read.container->folderName = folderName;
    return read;
}

void LibraryReader::readLibraryFolderIcons(
    const QByteArray &folder, FolderRead &read, const std::shared_ptr<StoredFileCache> &storedFiles)
{
    if (!read.container)
        return;
    const Report report = [&read](const QString &line) { read.lines.append(line); };
    const QString folderName = read.container->folderName;
    read.container = readIcons(
        *read.container, folder, [&read](const IconLookup &lookup) { read.lookups.append(lookup); }, storedFiles,
        report);
    read.container->folderName = folderName;
}

std::optional<IconContainer> LibraryReader::readContainerInfo(const QString &folder)
{
    // The folder is named only when it is one of the library's; elsewhere (a download) it is noise.
    return readContainerInfo(nativePath(folder), QString(), printLine);
}

std::optional<IconContainer> LibraryReader::readContainerInfo(
    const QByteArray &folder, const QString &folderName, const Report &report)
{
    const QString infoName = containerInfoFileName.toString();
    QString failure;
    // One byte past the decoder's limit, so that it is the decoder that refuses a document too large.
    const auto bytes = readRegularFile(folder + '/' + nativePath(infoName),
        folderName.isEmpty() ? infoName : folderName + u'/' + infoName, maxContainerJsonBytes + 1, &failure);
    if (!bytes) {
        report(failure);
        return std::nullopt;
    }
    auto decoded = decodeContainerJson(*bytes);
    if (!decoded) {
        report(decoded.error());
        return std::nullopt;
    }
    return std::move(decoded).value();
}

IconContainer LibraryReader::readIcons(const IconContainer &container, const QString &folder, const IconRead &iconRead)
{
    return readIcons(container, nativePath(folder), iconRead, nullptr, printLine);
}

IconContainer LibraryReader::readIcons(const IconContainer &container, const QByteArray &folder,
    const IconRead &iconRead, const std::shared_ptr<StoredFileCache> &storedFiles, const Report &report)
{
    IconContainer result = container;
    result.icons.clear();

    QStringList order;
    order.reserve(container.icons.size());
    // The first entry that names a file exactly is the one whose credits that file takes; failing
    // that, the first that names it in composed form, as the ordering compares: a folder copied from
    // a file system that stores names decomposed still pairs with the info.json written for it,
    // while two files whose names differ only in composition each keep their own entry.
    QHash<QString, const Icon *> entryByFileName;
    entryByFileName.reserve(container.icons.size());
    for (const Icon &entry : container.icons) {
        order.append(entry.filename.value_or(entry.name));
        if (entry.filename && !entryByFileName.contains(*entry.filename))
            entryByFileName.insert(*entry.filename, &entry);
    }
    // Worked out when a file has no exact match, which is rare.
    std::optional<QHash<QString, const Icon *>> composedIndex;
    const auto composedEntry = [&](const QString &fileName) -> const Icon * {
        if (!composedIndex) {
            QHash<QString, const Icon *> &entryByComposedName = composedIndex.emplace();
            entryByComposedName.reserve(container.icons.size());
            for (const Icon &entry : container.icons) {
                if (!entry.filename)
                    continue;
                const QString composed = entry.filename->normalized(QString::NormalizationForm_C);
                if (!entryByComposedName.contains(composed))
                    entryByComposedName.insert(composed, &entry);
            }
        }
        return composedIndex->value(fileName.normalized(QString::NormalizationForm_C));
    };

    QString failure;
    const auto members = listVisibleMembers(folder, &failure);
    if (!members) {
        report(failure);
        return result;
    }
    result.icons.reserve(members->size());
    for (const FolderMember &member : *members) {
        if (!member.kind) {
            report(member.kindError);
            return result;
        }
        const ContentType *contentType = contentTypeOf(member);
        const std::optional<IconFileType> type = contentType ? iconFileType(*contentType) : std::nullopt;
        if (!type)
            continue;
        IconData data;
        if (storedFiles) {
            auto found = StoredFile::find(
                member.nativePath, member.name, maxIconFileBytes, iconHeaderReadLength, storedFiles, &failure);
            if (!found) {
                report(failure);
                return result;
            }
            // The headers are read now, off the views' thread, so that drawing needs no read but the pixels'.
            std::optional<PlatformImage> image = PlatformImage::fromStoredFile(found->file, std::move(found->start));
            data = IconData(std::move(found->file), image.value_or(PlatformImage()));
        } else {
            auto bytes = readRegularFile(member.nativePath, member.name, maxIconFileBytes, &failure);
            if (!bytes) {
                report(failure);
                return result;
            }
            data = *std::move(bytes);
        }
        const bool icns = *type == IconFileType::icns;
        // The content type came from the extension, so there is a "." past the first character.
        const QString name = member.name.left(member.name.lastIndexOf(u'.'));
        const Icon *entry = entryByFileName.value(member.name);
        if (!entry)
            entry = composedEntry(member.name);
        result.icons.append(Icon { .id = QUuid::createUuid(),
            .containerID = result.id,
            .name = name,
            .type = *type,
            .icnsData = icns ? data : IconData(),
            .imageData = icns ? IconData() : data,
            .author = entry ? entry->author : QString(),
            .copyright = entry ? entry->copyright : QString(),
            .authorURL = entry ? entry->authorURL : QString(),
            .filename = member.name });
        const Icon &icon = result.icons.constLast();
        iconRead(IconLookup { icon.id, icon.containerID });
    }
    orderIcons(result.icons, order, IconOrderKey::fileNameOrName);
    return result;
}
