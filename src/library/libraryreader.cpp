// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/libraryreader.h"

#include "library/iconordering.h"
#include "model/containerjson.h"
#include "platform/contenttype.h"
#include "platform/nativefiles.h"
#include "platform/platformimage.h"
#include "platform/standardoutput.h"
#include "platform/storedfile.h"
#include "platform/storedfilecache.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

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

std::optional<QList<IconContainer>> LibraryReader::readLibrary(const QString &libraryFolder, const IconRead &iconRead)
{
    // One cache for the whole load: it goes when the last of its icons does.
    const auto storedFiles = std::make_shared<StoredFileCache>();
    QString failure;
    const auto members = listVisibleMembers(nativePath(libraryFolder), &failure);
    if (!members) {
        printLine(failure);
        return std::nullopt;
    }
    QList<IconContainer> containers;
    for (const FolderMember &member : *members) {
        if (!member.kind) {
            printLine(member.kindError);
            return std::nullopt;
        }
        const ContentType *type = contentTypeOf(member);
        if (!type || !type->conforms(ownContainerType()))
            continue;
        const auto container = readContainerInfo(member.nativePath, member.name);
        if (!container)
            continue;
        containers.append(readIcons(*container, member.nativePath, iconRead, storedFiles));
        containers.last().folderName = member.name;
    }
    return containers;
}

std::optional<IconContainer> LibraryReader::readContainerInfo(const QString &folder)
{
    // The folder is named only when it is one of the library's; elsewhere (a download) it is noise.
    return readContainerInfo(nativePath(folder), QString());
}

std::optional<IconContainer> LibraryReader::readContainerInfo(const QByteArray &folder, const QString &folderName)
{
    const QString infoName = containerInfoFileName.toString();
    QString failure;
    // One byte past the decoder's limit, so that it is the decoder that refuses a document too large.
    const auto bytes = readRegularFile(folder + '/' + nativePath(infoName),
        folderName.isEmpty() ? infoName : folderName + u'/' + infoName, maxContainerJsonBytes + 1, &failure);
    if (!bytes) {
        printLine(failure);
        return std::nullopt;
    }
    auto decoded = decodeContainerJson(*bytes);
    if (!decoded) {
        printLine(decoded.error());
        return std::nullopt;
    }
    return std::move(decoded).value();
}

IconContainer LibraryReader::readIcons(const IconContainer &container, const QString &folder, const IconRead &iconRead)
{
    return readIcons(container, nativePath(folder), iconRead, nullptr);
}

IconContainer LibraryReader::readIcons(const IconContainer &container, const QByteArray &folder,
    const IconRead &iconRead, const std::shared_ptr<StoredFileCache> &storedFiles)
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
        printLine(failure);
        return result;
    }
    result.icons.reserve(members->size());
    for (const FolderMember &member : *members) {
        if (!member.kind) {
            printLine(member.kindError);
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
                printLine(failure);
                return result;
            }
            // The headers are read now, off the views' thread, so that drawing needs no read but the pixels'.
            std::optional<PlatformImage> image = PlatformImage::fromStoredFile(found->file, std::move(found->start));
            data = IconData(std::move(found->file), image.value_or(PlatformImage()));
        } else {
            auto bytes = readRegularFile(member.nativePath, member.name, maxIconFileBytes, &failure);
            if (!bytes) {
                printLine(failure);
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
        result.icons.append(Icon(QUuid::createUuid(), result.id, name, *type, icns ? data : IconData(),
            icns ? IconData() : data, entry ? entry->author : QString(), entry ? entry->copyright : QString(),
            entry ? entry->authorURL : QString(), member.name));
        const Icon &icon = result.icons.constLast();
        iconRead(IconLookup { icon.id, icon.containerID });
    }
    orderIcons(result.icons, order, IconOrderKey::fileNameOrName);
    return result;
}
