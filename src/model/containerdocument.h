// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/containerresult.h"
#include "model/iconcontainer.h"
#include "platform/files/contenttype.h"
#include "platform/files/folderwrapper.h"

#include <QList>
#include <QString>

// The document form of a container: an rAvivovode folder holding "info.json" and one file per icon,
// as written for an export.

// The failures of the document-reading entry, in the platform's terms.
enum class DocumentReadError {
    noSuchFile,
    unknown,
};

QString errorDescription(DocumentReadError error);

// The own folder type, then the older archive type.
const QList<ContentType> &containerDocumentReadableTypes();
const QList<ContentType> &containerDocumentWritableTypes();

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

// The document-reading entry. For the own type the folder must hold "info.json", else the failure
// is printed and a container with initial values is returned; the legacy type is accepted without
// reading `contents`; any other type fails with `unknown`. No part of the program opens documents
// this way, so nothing is built from the contents.
Result<IconContainer, DocumentReadError> readContainerDocument(const ContentType &type, const FolderWrapper &contents);
