// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/iconenums.h"

#include <QCoreApplication>

// The English text is the key; the third argument tells translators where the word appears.
QString title(SidebarIconSize size)
{
    switch (size) {
    case SidebarIconSize::defaultSize:
        return QCoreApplication::translate("SidebarIconSize", "Default", "Sidebar icon size option");
    case SidebarIconSize::small:
        return QCoreApplication::translate("SidebarIconSize", "Small", "Sidebar icon size option");
    }
    return {};
}

QString title(ListIconSize size)
{
    switch (size) {
    case ListIconSize::small:
        return QCoreApplication::translate("ListIconSize", "Small", "Size option for the list view mode");
    case ListIconSize::defaultSize:
        return QCoreApplication::translate("ListIconSize", "Default", "Size option for the list view mode");
    case ListIconSize::large:
        return QCoreApplication::translate("ListIconSize", "Large", "Size option for the list view mode");
    }
    return {};
}

QString title(GalleryIconSize size)
{
    switch (size) {
    case GalleryIconSize::small:
        return QCoreApplication::translate("GalleryIconSize", "Small", "Size option for the gallery view mode");
    case GalleryIconSize::defaultSize:
        return QCoreApplication::translate("GalleryIconSize", "Default", "Size option for the gallery view mode");
    case GalleryIconSize::large:
        return QCoreApplication::translate("GalleryIconSize", "Large", "Size option for the gallery view mode");
    }
    return {};
}
