// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <sys/stat.h>

// Listing a folder and reading a file straight from the file system, for readers of folders that
// strangers may have filled. Failures come back as a one-line message (a listing that fails is told
// apart from an empty folder), names that are not valid UTF-8 still open because the bytes on disk
// are kept, and only regular files are ever read, so a pipe or a device never blocks a reader.

struct FolderMember
{
    enum class Kind {
        regularFile,
        folder,
        other, // symbolic links, pipes, sockets, devices: never followed nor read
    };

    QString name; // decoded, for matching and messages
    QByteArray nativePath; // the folder's path, "/" and the member's name as the bytes on disk
    std::optional<Kind> kind; // none when it could not be found out; kindError says why
    QString kindError;
};

// The members of `folder`, hidden ones (names starting with ".") only when asked for, sorted by
// name (UTF-16 code units), so that every listing of the same folder comes out in the same order.
// None, with a message, when the folder cannot be opened or read to its end, or holds more than
// `maxMembers` of the members asked for (checked while reading, so a huge folder is refused early).
std::optional<QList<FolderMember>> listMembers(
    const QByteArray &folder, bool includeHidden, qsizetype maxMembers, QString *errorMessage);

// The members of `folder` whose names do not start with ".", as listMembers() gives them.
std::optional<QList<FolderMember>> listVisibleMembers(const QByteArray &folder, QString *errorMessage);

// The whole contents of the regular file at `path`. None, with a message naming `displayName`,
// when it cannot be opened or read, is no regular file (links are not followed), or holds more
// than `maxBytes`.
std::optional<QByteArray> readRegularFile(
    const QByteArray &path, const QString &displayName, qint64 maxBytes, QString *errorMessage);

// Opens the regular file at `path` for reading, as readRegularFile() would, and fills `status`.
// -1, with the same messages, when it cannot be opened, is no regular file or holds more than
// `maxBytes`. The caller closes the descriptor.
int openRegularFile(
    const QByteArray &path, const QString &displayName, qint64 maxBytes, struct stat *status, QString *errorMessage);

// `length` bytes of `fd` from `offset`, fewer only where the file ends. None, with a message naming
// `displayName`, when a read fails.
std::optional<QByteArray> readFileRange(
    int fd, qint64 offset, qsizetype length, const QString &displayName, QString *errorMessage);

// The message of a file that could not be read, naming it and the reason.
QString unreadableFileMessage(const QString &displayName, const QString &reason);
