// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for the record functions made on another branch, so that this branch links.

#include "model/icon.h"
#include "model/iconenums.h"

#include <QCoreApplication>

#include <utility>

Icon::Icon(QUuid id, QUuid containerID, QString name, IconFileType type, std::optional<QByteArray> icnsData,
    std::optional<QByteArray> imageData, QString author, QString copyright, QString authorURL,
    std::optional<QString> filename)
    : id(id)
    , containerID(containerID)
    , name(std::move(name))
    , type(type)
    , icnsData(std::move(icnsData))
    , imageData(std::move(imageData))
    , author(std::move(author))
    , copyright(std::move(copyright))
    , authorURL(std::move(authorURL))
    , filename(std::move(filename))
{
    previewReps = makePreviewReps();
}

QString iconSizeId(IconSize size)
{
    return QString::number(rawValue(size));
}

std::optional<IconSize> iconSizeFromRawValue(int value)
{
    for (IconSize size : allIconSizes) {
        if (rawValue(size) == value)
            return size;
    }
    return std::nullopt;
}

QString title(SidebarIconSize size)
{
    return size == SidebarIconSize::small ? QCoreApplication::translate("SidebarIconSize", "Small")
                                          : QCoreApplication::translate("SidebarIconSize", "Default");
}

QString title(ListIconSize size)
{
    return rawValue(size);
}
QString title(GalleryIconSize size)
{
    return rawValue(size);
}
