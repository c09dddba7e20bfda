// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/settings.h"

using namespace Qt::Literals::StringLiterals;

// Function-local statics: made on first use, once even when two threads get there together.

namespace {

SettingsKey<bool> boolKey(const QString &name)
{
    return SettingsKey<bool>(name, false);
}

} // namespace

namespace Settings {

const SettingsKey<SidebarIconSize> &sidebarIconSize()
{
    static const SettingsKey<SidebarIconSize> key(u"sidebarIconSize"_s, SidebarIconSize::defaultSize);
    return key;
}

const SettingsKey<IconViewMode> &iconViewMode()
{
    static const SettingsKey<IconViewMode> key(u"iconViewMode"_s, IconViewMode::grid);
    return key;
}

const SettingsKey<qint64> &iconPreviewSize()
{
    static const SettingsKey<qint64> key(u"iconPreviewSize"_s, 64);
    return key;
}

const SettingsKey<ListIconSize> &listIconSize()
{
    static const SettingsKey<ListIconSize> key(u"listIconSize"_s, ListIconSize::defaultSize);
    return key;
}

const SettingsKey<GalleryIconSize> &galleryIconSize()
{
    static const SettingsKey<GalleryIconSize> key(u"galleryIconSize"_s, GalleryIconSize::defaultSize);
    return key;
}

const SettingsKey<bool> &showIconNamesInGrid()
{
    static const SettingsKey<bool> key = boolKey(u"showIconNamesInGrid"_s);
    return key;
}

const SettingsKey<bool> &showIconNamesInGallery()
{
    static const SettingsKey<bool> key = boolKey(u"showIconNamesInGallery"_s);
    return key;
}

const SettingsKey<bool> &emulateLowResolution()
{
    static const SettingsKey<bool> key = boolKey(u"emulateLowResoltion"_s);
    return key;
}

const SettingsKey<float> &lowResolutionScreenBrightness()
{
    static const SettingsKey<float> key(u"lowResolutionScreenBrightness"_s, 2.0f);
    return key;
}

const SettingsKey<HSBColor> &lowResolutionOverlayColor()
{
    // A dark, slightly bluish grey; the hue is exactly 0.666, not two thirds.
    static const SettingsKey<HSBColor> key(u"lowResolutionOverlayColor"_s, HSBColor { 0.666, 0.1, 0.3, 1.0 });
    return key;
}

const SettingsKey<DragAndDropIconFormat> &defaultDragAndDropFormat()
{
    static const SettingsKey<DragAndDropIconFormat> key(u"defaultDragAndDropFormat"_s, DragAndDropIconFormat::folder);
    return key;
}

const SettingsKey<bool> &alternateDragAndDropFormat()
{
    static const SettingsKey<bool> key = boolKey(u"alternateDragAndDropFormat"_s);
    return key;
}

const SettingsKey<QByteArray> &mainWindowGeometry()
{
    static const SettingsKey<QByteArray> key(u"mainWindowGeometry"_s, QByteArray());
    return key;
}

const SettingsKey<qint64> &sidebarWidth()
{
    static const SettingsKey<qint64> key(u"sidebarWidth"_s, 0);
    return key;
}

} // namespace Settings
