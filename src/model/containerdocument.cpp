// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/containerdocument.h"

#include "model/containerjson.h"
#include "model/iconfile.h"
#include "platform/text/standardoutput.h"

ContainerResult<QStringList> containerIconFileNames(const IconContainer &container)
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

ContainerResult<FolderWrapper> containerFileWrapper(const IconContainer &container)
{
    const auto fileNames = containerIconFileNames(container);
    if (!fileNames)
        return fileNames.error();
    const QString infoName = containerInfoFileName.toString();
    FolderWrapper folder;
    // Taken first, so that no icon file can claim the name; filled in once the icons' names are known.
    folder.addRegularFile(QByteArray(), infoName);

    IconContainer recorded = container;
    for (qsizetype i = 0; i < recorded.icons.size(); ++i) {
        Icon &icon = recorded.icons[i];
        const std::optional<QByteArray> data = iconFileData(icon).read();
        if (!data)
            return ContainerError::missingIconData;
        // The names are unique and safe already, so the wrapper keeps them as they are.
        icon.filename = folder.addRegularFile(*data, fileNames.value().at(i));
    }

    const auto json = encodeContainerJson(recorded);
    if (!json) {
        printLine(json.error());
        return ContainerError::writeInfoFailed;
    }
    folder.setRegularFileContents(infoName, json.value());
    return folder;
}
