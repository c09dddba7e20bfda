// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/librarywriter.h"

#include "model/containerdocument.h"
#include "model/containerjson.h"
#include "model/iconfile.h"
#include "platform/files/contenttype.h"
#include "platform/files/nativefiles.h"
#include "platform/files/safefilename.h"
#include "platform/files/safewrite.h"
#include "platform/files/stagingfolder.h"
#include "platform/text/standardoutput.h"
#include "platform/text/translationcontext.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>

using namespace Qt::StringLiterals;

namespace {

// Numbered variants of a folder name tried before the save gives up.
constexpr int maxFolderNumber = 10000;

constexpr TranslationContext tr { "LibraryWriter" };

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Where a save goes: a free folder, or the folder of a container of the same title; or why no
// folder can be found (`path` empty).
struct Destination
{
    QString path;
    std::optional<IconContainer> existing;
    int error = 0;
};

// The container an existing folder holds, read quietly: a folder we cannot identify is no
// container of ours to write into.
std::optional<IconContainer> existingContainer(const QByteArray &folder)
{
    const auto bytes = readRegularFile(
        folder + '/' + QFile::encodeName(containerInfoFileName.toString()), QString(), maxContainerJsonBytes, nullptr);
    if (!bytes)
        return std::nullopt;
    auto decoded = decodeContainerJson(*bytes);
    if (!decoded)
        return std::nullopt;
    return std::move(decoded).value();
}

Destination destinationFor(const QString &libraryFolder, const QString &title)
{
    const QString extension = u'.' + ownContainerType().preferredFilenameExtension();
    const QString stem = safeFileName(title);
    for (int number = 1; number <= maxFolderNumber; ++number) {
        const QString name = number == 1 ? LibraryWriter::containerFolderName(title)
                                         : fitFileName(stem, u' ' + QString::number(number) + extension);
        const QString path = libraryFolder + u'/' + name;
        const QByteArray native = QFile::encodeName(path);
        struct stat status
        {
        };
        if (::lstat(native.constData(), &status) != 0) {
            if (errno == ENOENT)
                return Destination { path, std::nullopt };
            return Destination { QString(), std::nullopt, errno };
        }
        if (!S_ISDIR(status.st_mode))
            continue;
        std::optional<IconContainer> existing = existingContainer(native);
        if (existing && existing->title == title)
            return Destination { path, std::move(existing) };
    }
    return Destination { QString(), std::nullopt, EEXIST };
}

// Carries one member of the old folder into the new one: hard links where the file system allows
// them, copies where it does not. Paths are the bytes on disk, so a name that is not UTF-8 is
// carried as it is.
bool carry(const std::filesystem::path &source, const std::filesystem::path &target, QString *reason)
{
    std::error_code error;
    const auto status = std::filesystem::symlink_status(source, error);
    if (error) {
        *reason = QString::fromLocal8Bit(error.message());
        return false;
    }
    if (std::filesystem::is_regular_file(status)) {
        std::filesystem::create_hard_link(source, target, error);
        if (error) {
            error.clear();
            std::filesystem::copy_file(source, target, error);
        }
    } else if (std::filesystem::is_directory(status)) {
        std::filesystem::copy(source, target,
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks
                | std::filesystem::copy_options::create_hard_links,
            error);
        if (error) {
            error.clear();
            std::filesystem::remove_all(target, error);
            std::filesystem::copy(source, target,
                std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks, error);
        }
    } else if (std::filesystem::is_symlink(status)) {
        std::filesystem::copy_symlink(source, target, error);
    }
    // Pipes, sockets and devices have no contents to keep.
    if (error) {
        *reason = QString::fromLocal8Bit(error.message());
        return false;
    }
    return true;
}

// Carries into `staging` every member of the old folder that the new container does not replace,
// and appends the old info.json entries of the files kept to `recorded`, in their old order. Only
// a member of exactly the same name is replaced: one whose name differs only in composition is
// another file, with an entry of its own.
ContainerResult<void> carryKeptFiles(
    const Destination &destination, const QString &staging, const QStringList &fileNames, IconContainer &recorded)
{
    QSet<QString> replaced(fileNames.cbegin(), fileNames.cend());
    replaced.insert(containerInfoFileName.toString());

    QString failure;
    const auto members = listMembers(QFile::encodeName(destination.path), true, qsizetype(1) << 20, &failure);
    if (!members) {
        printLine(failure);
        return ContainerError::writeIconFailed;
    }
    for (const FolderMember &member : *members) {
        // Files half-written by a replacement that never finished are no part of the container.
        if (member.name.startsWith(u".glimbar-") || replaced.contains(member.name))
            continue;
        const QByteArray nativeName = member.nativePath.mid(member.nativePath.lastIndexOf('/') + 1);
        QString reason;
        if (!carry(member.nativePath.toStdString(), (QFile::encodeName(staging) + '/' + nativeName).toStdString(),
                &reason)) {
            printLine(tr("The file “%1” couldn’t be saved: %2").arg(member.name, reason));
            return ContainerError::writeIconFailed;
        }
    }
    QSet<QString> newNames;
    for (const Icon &icon : std::as_const(recorded.icons))
        newNames.insert(icon.name);
    for (const Icon &entry : destination.existing->icons) {
        const bool kept = entry.filename ? !replaced.contains(*entry.filename) : !newNames.contains(entry.name);
        if (kept)
            recorded.icons.append(entry);
    }
    return {};
}

ContainerResult<void> writeInto(const IconContainer &container, const QString &libraryFolder, bool *staleIcon)
{
    const auto names = containerIconFileNames(container);
    if (!names)
        return names.error();
    const QStringList &fileNames = names.value();
    // Bytes that lie in files are read one icon at a time as they are written, so a large container
    // is never held whole; an icon without data fails the save before anything is written.
    for (const Icon &icon : container.icons) {
        if (!iconFileData(icon))
            return ContainerError::missingIconData;
    }

    const Destination found = destinationFor(libraryFolder, container.title);
    if (found.path.isEmpty()) {
        printLine(tr("The folder “%1” couldn’t be created: %2")
                      .arg(LibraryWriter::containerFolderName(container.title), systemError(found.error)));
        return ContainerError::writeInfoFailed;
    }
    const Destination *destination = &found;
    StagingFolder staging(libraryFolder, LibraryWriter::leftoverPrefix);
    if (!staging.isValid()) {
        printLine(tr("The folder “%1” couldn’t be created: %2")
                      .arg(QFileInfo(destination->path).fileName(), systemError(staging.error())));
        return ContainerError::writeInfoFailed;
    }

    IconContainer recorded = container;
    for (qsizetype i = 0; i < recorded.icons.size(); ++i)
        recorded.icons[i].filename = fileNames.at(i);
    if (destination->existing) {
        if (auto carried = carryKeptFiles(*destination, staging.path(), fileNames, recorded); !carried)
            return carried;
    }

    const QString infoName = containerInfoFileName.toString();
    const auto json = encodeContainerJson(recorded);
    if (!json) {
        printLine(json.error());
        return ContainerError::writeInfoFailed;
    }
    QString reason;
    if (!writeNewFile(staging.path() + u'/' + infoName, json.value(), &reason)) {
        printLine(tr("The file “%1” couldn’t be saved: %2").arg(infoName, reason));
        return ContainerError::writeInfoFailed;
    }
    for (qsizetype i = 0; i < container.icons.size(); ++i) {
        // A file changed or removed since it was read is no data of this icon's; the reader says
        // which file, and why, where the description alone would blame the icon.
        QString unreadable;
        const std::optional<QByteArray> data = iconFileData(container.icons.at(i)).read(&unreadable);
        if (!data) {
            if (!unreadable.isEmpty())
                printLine(unreadable);
            if (staleIcon)
                *staleIcon = iconFileData(container.icons.at(i)).isStored();
            return ContainerError::missingIconData;
        }
        if (!writeNewFile(staging.path() + u'/' + fileNames.at(i), *data, &reason)) {
            printLine(tr("The file “%1” couldn’t be saved: %2").arg(fileNames.at(i), reason));
            return ContainerError::writeIconFailed;
        }
    }
    if (!replaceFolder(staging.path(), destination->path, &reason)) {
        printLine(tr("The folder “%1” couldn’t be saved: %2").arg(QFileInfo(destination->path).fileName(), reason));
        return ContainerError::writeInfoFailed;
    }
    staging.keep();
    return {};
}

} // namespace

bool LibraryWriter::makeFolder(const QString &folder)
{
    std::error_code error;
    std::filesystem::create_directories(fsPath(folder), error);
    if (error) {
        printLine(tr("The folder “%1” couldn’t be created: %2")
                      .arg(QFileInfo(folder).fileName(), QString::fromLocal8Bit(error.message())));
        return false;
    }
    return true;
}

QString LibraryWriter::containerFolderName(const QString &title)
{
    // Made safe before the extension is added, so that an empty title keeps it; and again after,
    // in case the extension made the name too long.
    return safeFileName(safeFileName(title) + u'.' + ownContainerType().preferredFilenameExtension());
}

ContainerResult<void> LibraryWriter::saveContainer(
    const IconContainer &container, const QString &libraryFolder, bool *staleIcon)
{
    if (staleIcon)
        *staleIcon = false;
    ContainerResult<void> result = writeInto(container, libraryFolder, staleIcon);
    if (!result)
        printLine(errorDescription(result.error()));
    return result;
}

void LibraryWriter::removeLeftovers(const QString &libraryFolder)
{
    StagingFolder::sweep(libraryFolder, leftoverPrefix);
}
