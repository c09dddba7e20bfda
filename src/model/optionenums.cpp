// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/optionenums.h"

#include <QCoreApplication>

#include <algorithm>

// The English text is the lookup key; the //: lines are the notes lupdate hands to translators.

QString title(DragAndDropIconFormat format)
{
    switch (format) {
    case DragAndDropIconFormat::folder:
        //: Export format for icons being dragged and dropped
        return QCoreApplication::translate("DragAndDropIconFormat", "Folder");
    case DragAndDropIconFormat::image:
        //: Export format for icons being dragged and dropped
        return QCoreApplication::translate("DragAndDropIconFormat", "Image (ICNS or PNG)");
    }
    return {};
}

QString title(IconViewMode mode)
{
    switch (mode) {
    case IconViewMode::grid:
        //: Mode to view icons in a grid
        return QCoreApplication::translate("IconViewMode", "Grid");
    case IconViewMode::list:
        //: Mode to view icons in a list
        return QCoreApplication::translate("IconViewMode", "List");
    case IconViewMode::gallery:
        //: Mode to view icons in a gallery
        return QCoreApplication::translate("IconViewMode", "Gallery");
    }
    return {};
}

QString title(ExportFormat format)
{
    // Menu items that open a dialog end in a single U+2026, not three full stops.
    switch (format) {
    case ExportFormat::ravivovode:
        return QCoreApplication::translate("ExportFormat", "rAvivovode\u2026");
    case ExportFormat::icons:
        return QCoreApplication::translate("ExportFormat", "Icons\u2026");
    }
    return {};
}

QString title(SettingsTab tab)
{
    switch (tab) {
    case SettingsTab::general:
        //: General settings tab
        return QCoreApplication::translate("SettingsTab", "General");
    case SettingsTab::lowResolution:
        //: Low-resolution emulation settings tab
        return QCoreApplication::translate("SettingsTab", "Low-Resolution");
    case SettingsTab::updates:
        //: Updates settings tab
        return QCoreApplication::translate("SettingsTab", "Updates");
    }
    return {};
}

QKeySequence keyboardShortcut(IconViewMode mode)
{
    constexpr auto cases = allCases<IconViewMode>();
    const auto position = static_cast<int>(std::ranges::find(cases, mode) - cases.begin());
    return QKeySequence(QKeyCombination(Qt::ControlModifier, static_cast<Qt::Key>(Qt::Key_1 + position)));
}
