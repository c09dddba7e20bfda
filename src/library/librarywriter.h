// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/containerresult.h"
#include "model/iconcontainer.h"

#include <QString>
#include <QStringList>

// Writes containers into the library folder as rAvivovode folders: info.json first, then one file
// per icon, each file replaced atomically (QSaveFile). Every name taken from the container is made
// safe first, so nothing is written outside the container's folder or hidden from the next load.
class LibraryWriter
{
public:
    // The name of a container's folder: its title made safe, "." and "ravivovode" ("Space" gives
    // "Space.ravivovode", "/" gives "_.ravivovode").
    static QString containerFolderName(const QString &title);

    // Creates `folder` with any missing parents; an existing folder is fine. Prints why on failure.
    static bool makeFolder(const QString &folder);

    // The file each icon of `container` is written to, in icon order: its iconFileName(), or a
    // numbered variant of it ("Star 2.icns") when an earlier icon already took that name, so no
    // icon overwrites another. The one naming that info.json records and the icon writes use.
    static ContainerResult<QStringList> iconFileNames(const IconContainer &container);

    // Creates `folder` with any missing parents and writes info.json into it: a copy of the
    // container whose icons carry `fileNames` (one per icon) as their file names. Prints the cause
    // and fails with writeInfoFailed when the folder cannot be made, the copy cannot be encoded or
    // the file cannot be written.
    static ContainerResult<void> writeContainerInfo(
        const IconContainer &container, const QStringList &fileNames, const QString &folder);

    // Writes the container into its folder inside `libraryFolder`, stopping at the first failure
    // (files written before it stay). Prints the platform's reason where there is one, then the
    // description of the failure, and returns it.
    static ContainerResult<void> saveContainer(const IconContainer &container, const QString &libraryFolder);
};
