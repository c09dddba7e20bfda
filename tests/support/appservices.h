// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/containermanager.h"
#include "library/thumbnailprovider.h"
#include "platform/desktop/fileiconsetter.h"
#include "platform/desktop/giofileiconsetter.h"
#include "settingsfixture.h"

#include <memory>

// What the application makes once and hands to its windows, made afresh for a test: settings over a
// file of the test's own, a library, a thumbnail provider and the desktop's icon setter (a test may
// put a fake in its place).
struct AppServices
{
    SettingsFixture settingsFile;
    Settings &settings = settingsFile.settings();
    ContainerManager library;
    ThumbnailProvider thumbnails;
    std::shared_ptr<FileIconSetter> iconSetter = std::make_shared<GioFileIconSetter>();
};
