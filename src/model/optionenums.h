// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/enumtraits.h"

#include <QJsonValue>
#include <QKeySequence>
#include <QString>

#include <optional>

// What an icon dragged out of the window becomes by default.
enum class DragAndDropIconFormat { folder, image };
// The kinds of rAvivovode export; there is one.
enum class ContainerExportType { standard };
// How the icons of the selected containers are shown.
enum class IconViewMode { grid, list, gallery };
// What the export menu exports.
enum class ExportFormat { ravivovode, icons };
// What the import menu imports.
enum class ImportFormat { ravivovode };
// The tabs of the settings window.
enum class SettingsTab { general, lowResolution, updates };

// `coded` marks the enums that documents carry as their raw value string.
template <> struct EnumTraits<DragAndDropIconFormat>
{
    static constexpr bool coded = true;
    static constexpr std::array<std::pair<DragAndDropIconFormat, const char *>, 2> values { {
        { DragAndDropIconFormat::folder, "folder" },
        { DragAndDropIconFormat::image, "image" },
    } };
};

template <> struct EnumTraits<ContainerExportType>
{
    static constexpr bool coded = false;
    static constexpr std::array<std::pair<ContainerExportType, const char *>, 1> values { {
        { ContainerExportType::standard, "standard" },
    } };
};

template <> struct EnumTraits<IconViewMode>
{
    static constexpr bool coded = true;
    static constexpr std::array<std::pair<IconViewMode, const char *>, 3> values { {
        { IconViewMode::grid, "grid" },
        { IconViewMode::list, "list" },
        { IconViewMode::gallery, "gallery" },
    } };
};

template <> struct EnumTraits<ExportFormat>
{
    static constexpr bool coded = true;
    static constexpr std::array<std::pair<ExportFormat, const char *>, 2> values { {
        { ExportFormat::ravivovode, "ravivovode" },
        { ExportFormat::icons, "icons" },
    } };
};

template <> struct EnumTraits<ImportFormat>
{
    static constexpr bool coded = true;
    static constexpr std::array<std::pair<ImportFormat, const char *>, 1> values { {
        { ImportFormat::ravivovode, "ravivovode" },
    } };
};

template <> struct EnumTraits<SettingsTab>
{
    static constexpr bool coded = true;
    static constexpr std::array<std::pair<SettingsTab, const char *>, 3> values { {
        { SettingsTab::general, "general" },
        { SettingsTab::lowResolution, "lowResolution" },
        { SettingsTab::updates, "updates" },
    } };
};

template <typename E>
concept CodedEnum = EnumTraits<E>::coded;

// The coded form of a value: its raw value as a JSON string.
template <CodedEnum E> QJsonValue toJson(E value)
{
    return rawValue(value);
}

// None for anything but a string naming a case exactly; the caller treats that as corrupted data.
template <CodedEnum E> std::optional<E> fromJson(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    return fromRawValue<E>(value.toString());
}

// Finished, translated display titles, looked up at each call.
QString title(DragAndDropIconFormat format);
QString title(IconViewMode mode);
QString title(ExportFormat format);
QString title(SettingsTab tab);

// Ctrl+1, Ctrl+2, Ctrl+3 in case order.
QKeySequence keyboardShortcut(IconViewMode mode);
