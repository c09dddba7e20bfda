// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/settingsvalues.h"
#include "model/hsbcolor.h"
#include "model/iconenums.h"
#include "model/optionenums.h"
#include "platform/settings/settingskey.h"

class SettingsStore;

// The application's settings, each a typed key over the store handed in, which must outlive them.
// The application makes one and hands it to every view; views read, write and observe the keys,
// from any thread, through SettingsKey.
class Settings
{
public:
    explicit Settings(SettingsStore &store);
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    SettingsStore &store() const { return m_store; }

    const SettingsKey<SidebarIconSize> &sidebarIconSize() const { return m_sidebarIconSize; }
    const SettingsKey<IconViewMode> &iconViewMode() const { return m_iconViewMode; }
    // Points.
    const SettingsKey<qint64> &iconPreviewSize() const { return m_iconPreviewSize; }
    const SettingsKey<ListIconSize> &listIconSize() const { return m_listIconSize; }
    const SettingsKey<GalleryIconSize> &galleryIconSize() const { return m_galleryIconSize; }
    const SettingsKey<bool> &showIconNamesInGrid() const { return m_showIconNamesInGrid; }
    const SettingsKey<bool> &showIconNamesInGallery() const { return m_showIconNamesInGallery; }
    // Stored as "emulateLowResoltion": the misspelling is the name existing settings files carry.
    const SettingsKey<bool> &emulateLowResolution() const { return m_emulateLowResolution; }
    const SettingsKey<float> &lowResolutionScreenBrightness() const { return m_lowResolutionScreenBrightness; }
    const SettingsKey<HSBColor> &lowResolutionOverlayColor() const { return m_lowResolutionOverlayColor; }
    const SettingsKey<DragAndDropIconFormat> &defaultDragAndDropFormat() const { return m_defaultDragAndDropFormat; }
    // True while the Option key is held, which swaps what a dragged icon offers. It changes with
    // every press and release, so writes stay in memory; until the first, it reads what the file
    // holds.
    const SettingsKey<bool> &alternateDragAndDropFormat() const { return m_alternateDragAndDropFormat; }

    // The state of the main window closed last, which the next one opens with: its geometry as
    // QWidget::saveGeometry() gives it, and the sidebar's width in pixels (0: the sidebar's own).
    const SettingsKey<QByteArray> &mainWindowGeometry() const { return m_mainWindowGeometry; }
    const SettingsKey<qint64> &sidebarWidth() const { return m_sidebarWidth; }

private:
    SettingsStore &m_store;
    SettingsKey<SidebarIconSize> m_sidebarIconSize;
    SettingsKey<IconViewMode> m_iconViewMode;
    SettingsKey<qint64> m_iconPreviewSize;
    SettingsKey<ListIconSize> m_listIconSize;
    SettingsKey<GalleryIconSize> m_galleryIconSize;
    SettingsKey<bool> m_showIconNamesInGrid;
    SettingsKey<bool> m_showIconNamesInGallery;
    SettingsKey<bool> m_emulateLowResolution;
    SettingsKey<float> m_lowResolutionScreenBrightness;
    SettingsKey<HSBColor> m_lowResolutionOverlayColor;
    SettingsKey<DragAndDropIconFormat> m_defaultDragAndDropFormat;
    SettingsKey<bool> m_alternateDragAndDropFormat;
    SettingsKey<QByteArray> m_mainWindowGeometry;
    SettingsKey<qint64> m_sidebarWidth;
};
