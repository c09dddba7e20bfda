// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <optional>

// The rules of the preview size, in points: the presets are the IconSize values, and every way of
// changing the size keeps it within minimum…maximum.
namespace IconPreviewSize {

inline constexpr qint64 minimum = 16;
inline constexpr qint64 maximum = 512;

qint64 clamped(qint64 size);
bool isPreset(qint64 size);

// The largest preset below `size` (16 when none is), or 16 outright when `toEnd` is set.
qint64 previousPreset(qint64 size, bool toEnd);
// The smallest preset above `size` (512 when none is), or 512 outright when `toEnd` is set.
qint64 nextPreset(qint64 size, bool toEnd);

// A size as the stepper shows it: an integer in the locale's digits, never grouped.
QString toText(qint64 size, const QLocale &locale);
// Typed text as an integer in the locale, unclamped. Only a plain integer counts: group separators
// (the number is shown without them) and decimal separators make it no number, so "1,000" and
// "1.000" read as nothing in English and German alike. An integer too long for 64 bits saturates.
std::optional<qint64> fromText(const QString &text, const QLocale &locale);

} // namespace IconPreviewSize
