// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/fileiconsetter.h"

// Custom icons through GIO's "metadata::custom-icon" attribute, which file managers of the GNOME
// family read; it needs the gvfs metadata daemon on the session bus. The attribute names a PNG in
// customIconFolder() named after the SHA-256 of its bytes, so an icon set on many items is stored
// once. The PNGs are kept when an icon is removed, as other items may still name them.
// A folder also carries its icon inside, for KDE's file managers (see FolderIconFile); a folder
// we may not write gets the metadata only. After every change the item's change time moves (a
// file keeps its modification time, a folder written into keeps its new one), so file managers
// watching its folder show the change at once.
class GioFileIconSetter : public FileIconSetter
{
public:
    bool setIcon(const std::optional<QImage> &image, const QString &path) override;

    // The application's data folder, then "Glimbar/custom-icons".
    static QString customIconFolder();
};
