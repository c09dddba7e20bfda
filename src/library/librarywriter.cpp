// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/librarywriter.h"

#include "model/containerjson.h"
#include "model/iconfile.h"
#include "platform/contenttype.h"
#include "platform/folderwrapper.h"
#include "platform/safefilename.h"
#include "platform/standardoutput.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("LibraryWriter", text);
}

// Writes `bytes` to `path` in one step: the old file, if any, stays whole until the new one is
// complete. Prints why on failure.
bool writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        printLine(tr("The file “%1” couldn’t be saved: %2").arg(QFileInfo(path).fileName(), file.errorString()));
        file.cancelWriting();
        return false;
    }
    return true;
}

ContainerResult<void> writeIcons(const IconContainer &container, const QStringList &fileNames, const QString &folder)
{
    for (qsizetype i = 0; i < container.icons.size(); ++i) {
        const std::optional<QByteArray> data = iconFileData(container.icons.at(i));
        if (!data)
            return ContainerError::missingIconData;
        if (!writeFileAtomically(folder + u'/' + fileNames.at(i), *data))
            return ContainerError::writeIconFailed;
    }
    return {};
}

} // namespace

bool LibraryWriter::makeFolder(const QString &folder)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
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

ContainerResult<QStringList> LibraryWriter::iconFileNames(const IconContainer &container)
{
    // The folder wrapper hands out the unique names; it holds no data here, only the names taken.
    FolderWrapper names;
    names.addRegularFile(QByteArray(), containerInfoFileName.toString());
    QStringList fileNames;
    fileNames.reserve(container.icons.size());
    for (const Icon &icon : container.icons) {
        const auto fileName = iconFileName(icon);
        if (!fileName)
            return fileName.error();
        fileNames.append(names.addRegularFile(QByteArray(), fileName.value()));
    }
    return fileNames;
}

ContainerResult<void> LibraryWriter::writeContainerInfo(
    const IconContainer &container, const QStringList &fileNames, const QString &folder)
{
    IconContainer recorded = container;
    for (qsizetype i = 0; i < recorded.icons.size(); ++i)
        recorded.icons[i].filename = fileNames.at(i);

    if (!makeFolder(folder))
        return ContainerError::writeInfoFailed;
    const auto json = encodeContainerJson(recorded);
    if (!json) {
        printLine(json.error());
        return ContainerError::writeInfoFailed;
    }
    if (!writeFileAtomically(folder + u'/' + containerInfoFileName.toString(), json.value()))
        return ContainerError::writeInfoFailed;
    return {};
}

ContainerResult<void> LibraryWriter::saveContainer(const IconContainer &container, const QString &libraryFolder)
{
    const QString folder = libraryFolder + u'/' + containerFolderName(container.title);
    ContainerResult<void> result = [&]() -> ContainerResult<void> {
        const auto fileNames = iconFileNames(container);
        if (!fileNames)
            return fileNames.error();
        if (const auto written = writeContainerInfo(container, fileNames.value(), folder); !written)
            return written;
        return writeIcons(container, fileNames.value(), folder);
    }();
    if (!result)
        printLine(errorDescription(result.error()));
    return result;
}
