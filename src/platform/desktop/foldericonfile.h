// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>
#include <QList>
#include <QString>

#include <optional>

// A folder's custom icon as KDE's file managers read it: a picture kept inside the folder, in a
// hidden file of ours named after its bytes, which the folder's ".directory" names under
// "[Desktop Entry]" as "Icon=./name". The relative name resolves against the folder, so the icon
// travels when the folder is copied. The picture's name changes with its bytes, because readers
// cache pictures by path.
// Everything else in ".directory" stays as it was, line by line, comments and order included. A
// ".directory" that is a link, not a regular file or larger than maxDirectoryFileBytes is left
// alone, and so is a folder we may not write: neither is ours to change. Safe on any thread.
namespace FolderIconFile {

inline constexpr QLatin1StringView directoryFileName { ".directory" };
// Dolphin keeps a few lines of view settings there; a larger file is none we should rewrite.
inline constexpr qint64 maxDirectoryFileBytes = 64 * 1024;

enum class Outcome {
    done,
    leftAlone, // the folder or its ".directory" is not ours to change; nothing was written
    failed,
};

// Keeps `png` inside `folder` and points ".directory" at it, replacing the picture an earlier call
// left; with no png, takes out our picture and the "Icon=" line that still names it, and removes
// ".directory" when nothing else is left in it. `folder` must be a real folder, not a link.
Outcome apply(const QString &folder, const std::optional<QByteArray> &png);

// The name of the picture of `png` inside the folder.
QString pictureName(QByteArrayView png);
// Whether an "Icon=" value names a picture of ours beside ".directory".
bool isOurIconValue(QByteArrayView value);

// The key under which the folder's own "Icon=" waits while ours is set.
inline constexpr QByteArrayView savedIconKey { "X-Glimbar-SavedIcon" };

// ".directory" with every "Icon=" of "[Desktop Entry]" set to `value`; the key is added to the
// group, or the group to the end, when missing. An icon that was not ours is kept under
// savedIconKey, unless one is kept there already.
QByteArray withIcon(const QByteArray &content, const QByteArray &value);
// ".directory" without the "Icon=" lines of "[Desktop Entry]" that name a picture of ours; a group
// left empty goes with them. An icon kept under savedIconKey takes our line's place again.
// `removed` receives our values. Unchanged when there are none.
QByteArray withoutOurIcon(const QByteArray &content, QList<QByteArray> *removed = nullptr);

} // namespace FolderIconFile
