// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/containerresult.h"
#include "model/icon.h"
#include "platform/files/contenttype.h"

#include <QByteArray>
#include <QString>

#include <optional>

// How an icon is stored as a file in an rAvivovode folder; shared by every writer of such folders.

// The content type of an icon's kind: ICNS or PNG.
const ContentType &contentType(IconFileType type);

// `name` followed by "." and `extension`, unless it already ends with exactly that.
QString appendingExtension(const QString &name, const QString &extension);

// The name of the icon's file: its filename, else its name, made safe as a file name, with the
// extension of its kind ("Star" gives "Star.icns", "Star.icns" stays). Fails with
// iconExtensionError when the kind has no extension.
ContainerResult<QString> iconFileName(const Icon &icon);

// The data of the icon's own kind: icnsData for an ICNS icon, imageData for an image icon. The
// other field never stands in.
const IconData &iconFileData(const Icon &icon);
