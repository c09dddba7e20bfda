// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/containerresult.h"
#include "model/iconcontainer.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// Writes containers into the library folder as rAvivovode folders. Every name taken from the
// container is made safe first, so nothing is written outside the container's folder or hidden
// from the next load.
//
// A save is whole or not at all: the new folder is written beside the old one under a hidden name
// of our own and exchanged with it in one step, so a save that fails, or a process killed while
// saving, leaves the previous container as it was. Only a container of the same title writes into
// an existing folder; then the files it does not replace, and their info.json entries, are kept.
class LibraryWriter
{
public:
    // Hidden folders of a save in progress start with this, then the saving process's id and "-".
    static constexpr QStringView leftoverPrefix = u".glimbar-save-";

    // The name of a container's folder: its title made safe, "." and "ravivovode" ("Space" gives
    // "Space.ravivovode", "/" gives "_.ravivovode").
    static QString containerFolderName(const QString &title);

    // Creates `folder` with any missing parents; an existing folder is fine. Prints why on failure.
    static bool makeFolder(const QString &folder);

    // Writes the container into `libraryFolder`: into the folder of its title (containerFolderName)
    // when that is free or holds a container of the same title, else into the first free numbered
    // variant ("Space 2.ravivovode"). info.json first, then one file per icon, named by
    // containerIconFileNames(). On failure prints the platform's reason where there is one, then
    // the description of the failure, and returns it; the library is then as it was. An icon whose
    // stored file changed since it was read prints the reader's reason first and sets `staleIcon`.
    static ContainerResult<void> saveContainer(
        const IconContainer &container, const QString &libraryFolder, bool *staleIcon = nullptr);

    // Removes what saves of processes that no longer run left in `libraryFolder`: hidden members
    // with leftoverPrefix, of the user's own. A container folder that a killed save had moved aside
    // is put back first (StagingFolder::sweep), so the sweep never removes its only whole copy.
    static void removeLeftovers(const QString &libraryFolder);
};
