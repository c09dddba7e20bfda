// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/motionpolicy.h"

#include <QSet>
#include <QString>
#include <QUuid>

#include <memory>

class ContainerManager;
class FileIconSetter;
class IconSelectionManager;
class Settings;
class ThumbnailProvider;

// What a collection view is handed: the collaborators it shows and edits, which must outlive it,
// and the container selection and search text it starts with. Later selections and searches reach
// the view through its setters, not through this record.
struct IconCollectionInputs
{
    ContainerManager &manager;
    ThumbnailProvider &provider;
    // For the folders that drags hand out.
    std::shared_ptr<FileIconSetter> iconSetter;
    Settings &settings;
    IconSelectionManager &iconSelection;
    QSet<QUuid> containerSelection = {};
    QString searchText = {};
    // How the view's changes move; nothing moves unless the window hands in the desktop's policy.
    MotionPolicy motion = MotionPolicy::still();
};
