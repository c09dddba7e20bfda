// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/settingskey.h"
#include "model/hsbcolor.h"
#include "model/iconenums.h"
#include "model/optionenums.h"

// The application's persisted settings. Each key is made once, on its first use from any thread,
// and lives for the rest of the process; views read, write and observe it through SettingsKey.
namespace Settings {

const SettingsKey<SidebarIconSize> &sidebarIconSize();
const SettingsKey<IconViewMode> &iconViewMode();
// Points.
const SettingsKey<qint64> &iconPreviewSize();
const SettingsKey<ListIconSize> &listIconSize();
const SettingsKey<GalleryIconSize> &galleryIconSize();
const SettingsKey<bool> &showIconNamesInGrid();
const SettingsKey<bool> &showIconNamesInGallery();
// Stored as "emulateLowResoltion": the misspelling is the name existing settings files carry.
const SettingsKey<bool> &emulateLowResolution();
const SettingsKey<float> &lowResolutionScreenBrightness();
const SettingsKey<HSBColor> &lowResolutionOverlayColor();
const SettingsKey<DragAndDropIconFormat> &defaultDragAndDropFormat();
// True while the Option key is held, which swaps what a dragged icon offers.
const SettingsKey<bool> &alternateDragAndDropFormat();

// The state of the main window closed last, which the next one opens with: its geometry as
// QWidget::saveGeometry() gives it, and the sidebar's width in pixels (0: the sidebar's own).
const SettingsKey<QByteArray> &mainWindowGeometry();
const SettingsKey<qint64> &sidebarWidth();

} // namespace Settings
