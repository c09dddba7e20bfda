// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/iconfile.h"

#include "platform/files/safefilename.h"

const ContentType &contentType(IconFileType type)
{
    return type == IconFileType::image ? ContentType::png() : ContentType::icns();
}

QString appendingExtension(const QString &name, const QString &extension)
{
    const QString suffix = u'.' + extension;
    return name.endsWith(suffix) ? name : name + suffix;
}

ContainerResult<QString> iconFileName(const Icon &icon)
{
    const QString &extension = contentType(icon.type).preferredFilenameExtension();
    if (extension.isEmpty())
        return ContainerError::iconExtensionError;
    // Made safe before the extension is added, so that a name like "" or ".." keeps the extension;
    // and again after, in case the extension made the name too long.
    return safeFileName(appendingExtension(safeFileName(icon.filename.value_or(icon.name)), extension));
}

const IconData &iconFileData(const Icon &icon)
{
    return icon.type == IconFileType::image ? icon.imageData : icon.icnsData;
}
