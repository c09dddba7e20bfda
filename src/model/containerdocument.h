// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/containerresult.h"
#include "model/iconcontainer.h"
#include "platform/files/folderwrapper.h"

#include <QList>
#include <QString>

// The document form of a container: an rAvivovode folder holding "info.json" and one file per icon,
// as written for an export.

// The member each icon of `container` is written to, in icon order: its file name (iconFileName)
// made safe, or a numbered variant of it ("Star 2.icns") when an earlier icon, or "info.json",
// already took that name or a canonically equivalent one. The one naming both the document form and
// the library's folders use, and that their "info.json" records. Fails with iconExtensionError for
// the first icon that lacks one.
ContainerResult<QStringList> containerIconFileNames(const IconContainer &container);

// The folder to write for `container`: "info.json" first, then each icon's data in icon order,
// under its file name (see iconFileName); a clash gets a numbered name. The "info.json" written
// names every icon by the member its data was actually written to; the container itself is not
// changed. Fails with iconExtensionError or missingIconData for the first icon that lacks them, and
// with writeInfoFailed, after printing why, when the container cannot be encoded.
ContainerResult<FolderWrapper> containerFileWrapper(const IconContainer &container);
