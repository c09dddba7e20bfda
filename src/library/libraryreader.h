// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"
#include "model/iconlookup.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class StoredFileCache;

// Reads rAvivovode folders: the library folder's container folders, each one's info.json, and its
// ICNS and PNG files as icons. Runs on the caller's thread (a library load also on threads of its
// own, which end before it returns) and reports every failure as one line on standard output; it
// never changes the library itself; each icon read is handed to `iconRead`.
//
// Members are taken in name order (UTF-16 code units), so a library loads the same way every
// time. Hidden members, symbolic links and anything but folders and regular files are passed over.
//
// The library's icons hold their files, not their bytes: a load reads each file's headers and
// notes which file it was; the bytes are read when an icon is drawn, dragged, exported or saved
// (see IconData). Icons read from any other folder (a download, an import) hold their bytes.
class LibraryReader
{
public:
    using IconRead = std::function<void(const IconLookup &)>;
    using TitlesRead = std::function<void(QList<IconContainer>)>;

    // On a cold cache a load kept the disk busier with up to about this many readers.
    static constexpr int defaultFolderReaders = 32;

    // Icon files larger than this end the scan of their folder like any other read failure.
    static constexpr qint64 maxIconFileBytes = qint64(256) << 20;

    // The containers of every rAvivovode folder in `libraryFolder`, in name order, each with its
    // folder's name in folderName; folders whose
    // info.json is missing or does not decode are left out. None when the folder cannot be listed
    // or a member's type cannot be read: the load then publishes nothing. An icon file that cannot
    // be opened, is no regular file or is larger than maxIconFileBytes ends its folder's scan.
    //
    // Up to `folderReaders` folders are read at once, each on a thread of its own, since on a cold
    // cache every icon file costs a random read and a disk serves many at once. What each folder
    // yields (its lines, its icons handed to `iconRead`, its container) still comes in name order,
    // whatever the number. Every info.json is read before any icon file: `titlesRead`, when given,
    // then gets the containers the result will hold, in its order, without their icons (not called
    // when the load will publish nothing).
    static std::optional<QList<IconContainer>> readLibrary(const QString &libraryFolder, const IconRead &iconRead,
        int folderReaders = defaultFolderReaders, const TitlesRead &titlesRead = {});

    // The container that the info.json of `folder` describes, without icon data; none when it
    // cannot be read or decoded.
    static std::optional<IconContainer> readContainerInfo(const QString &folder);

    // A copy of `container` whose icons are the ICNS and PNG files of `folder`, each taking the
    // credits of the info.json entry that names its file exactly (letter case counts), else of the
    // first entry whose name is canonically equivalent to it, ordered by those entries (file name, else name). A
    // failure while scanning ends the scan: the icons read so far are kept, unordered.
    static IconContainer readIcons(const IconContainer &container, const QString &folder, const IconRead &iconRead);

private:
    // Where a read's failure lines go: standard output, or a list printed later in the load's order.
    using Report = std::function<void(const QString &)>;
    struct FolderRead;

    // The container of one of the library's folders, read on any thread: its info.json, then, into
    // the same read, its icons.
    static FolderRead readLibraryFolderInfo(const QByteArray &folder, const QString &folderName);
    static void readLibraryFolderIcons(
        const QByteArray &folder, FolderRead &read, const std::shared_ptr<StoredFileCache> &storedFiles);
    static std::optional<IconContainer> readContainerInfo(
        const QByteArray &folder, const QString &folderName, const Report &report);
    // With `storedFiles`, the icons hold their files, whose whole reads that cache keeps.
    static IconContainer readIcons(const IconContainer &container, const QByteArray &folder, const IconRead &iconRead,
        const std::shared_ptr<StoredFileCache> &storedFiles, const Report &report);
};
