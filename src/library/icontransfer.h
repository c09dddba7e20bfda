// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icon.h"

#include <QImage>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>

#include <optional>

// What an icon dragged out of the window becomes for the receiver: a folder that carries the icon
// as its custom icon, or the icon's own bytes as ICNS or PNG data. Which of them is offered
// follows "defaultDragAndDropFormat" and "alternateDragAndDropFormat", read at every call.
class FileIconSetter;
class Settings;

namespace IconTransfer {

// The folder, as a file URL.
inline constexpr QLatin1StringView folderFormat { "text/uri-list" };
inline constexpr QLatin1StringView icnsFormat { "image/x-icns" };
inline constexpr QLatin1StringView pngFormat { "image/png" };
// The name KDE's receivers (Dolphin, file dialogs) give the file they make from dropped data; other
// desktops know no plain format for it (X Direct Save needs the receiver to write the file).
inline constexpr QLatin1StringView suggestedFileNameFormat { "application/x-kde-suggestedfilename" };

// The representations offered now, most preferred first: the folder, then the data of the icon's
// own kind (ICNS icons never offer PNG, image icons never ICNS).
QStringList transferRepresentation(const Icon &icon, const Settings &settings);
// The name a receiver should give the data: the icon's name, without extension, made safe.
QString suggestedFileName(const Icon &icon);

// The picture a folder that carries the icon gets: the largest representation of
// Icon::primaryData(); none when the bytes are no image.
std::optional<QImage> folderIconImage(const Icon &icon);
std::optional<QImage> folderIconImage(const QByteArray &bytes);

// Our own folder in the temporary folder, private to the user, which holds every dragged icon
// folder; made when missing. None when it cannot be made or is not a folder of the user's own.
std::optional<QString> dragFolderRoot();
// Makes the folder named after the icon in dragFolderRoot(), or reuses the one made for the same
// name; a name made safe alike with another's ("." and "" both give "_"), or taken by a file, gets
// a numbered variant ("_ 2"). Then sets the
// image made from Icon::primaryData() as its custom icon, or removes its custom icon when the
// bytes are no image, through `setter`. None when the folder cannot be made, and when the icon has
// no bytes (none in memory, or its file changed or vanished since the load). Safe to call from any
// thread: it uses only the icon and setter it is given.
std::optional<QString> exportIconFolder(const Icon &icon, FileIconSetter &setter);

} // namespace IconTransfer
