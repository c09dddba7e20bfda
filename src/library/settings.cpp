// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/settings.h"

#include "platform/settings/settingsstore.h"

using namespace Qt::Literals::StringLiterals;

Settings::Settings(SettingsStore &store)
    : m_store(store)
    , m_sidebarIconSize(store, u"sidebarIconSize"_s, SidebarIconSize::defaultSize)
    , m_iconViewMode(store, u"iconViewMode"_s, IconViewMode::grid)
    , m_iconPreviewSize(store, u"iconPreviewSize"_s, 64)
    , m_listIconSize(store, u"listIconSize"_s, ListIconSize::defaultSize)
    , m_galleryIconSize(store, u"galleryIconSize"_s, GalleryIconSize::defaultSize)
    , m_showIconNamesInGrid(store, u"showIconNamesInGrid"_s, false)
    , m_showIconNamesInGallery(store, u"showIconNamesInGallery"_s, false)
    , m_emulateLowResolution(store, u"emulateLowResoltion"_s, false)
    , m_lowResolutionScreenBrightness(store, u"lowResolutionScreenBrightness"_s, 2.0f)
    // A dark, slightly bluish grey; the hue is exactly 0.666, not two thirds.
    , m_lowResolutionOverlayColor(store, u"lowResolutionOverlayColor"_s, HSBColor { 0.666, 0.1, 0.3, 1.0 })
    , m_defaultDragAndDropFormat(store, u"defaultDragAndDropFormat"_s, DragAndDropIconFormat::folder)
    , m_alternateDragAndDropFormat(store, u"alternateDragAndDropFormat"_s, false, SettingsKeeping::memory)
    , m_mainWindowGeometry(store, u"mainWindowGeometry"_s, QByteArray())
    , m_sidebarWidth(store, u"sidebarWidth"_s, 0)
{ }
