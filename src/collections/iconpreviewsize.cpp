// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconpreviewsize.h"

#include "model/iconenums.h"

#include <algorithm>
#include <limits>

namespace IconPreviewSize {

qint64 clamped(qint64 size)
{
    return std::clamp(size, minimum, maximum);
}

bool isPreset(qint64 size)
{
    return std::any_of(
        allIconSizes.begin(), allIconSizes.end(), [size](IconSize preset) { return rawValue(preset) == size; });
}

qint64 previousPreset(qint64 size, bool toEnd)
{
    if (toEnd)
        return minimum;
    for (auto it = allIconSizes.rbegin(); it != allIconSizes.rend(); ++it) {
        if (rawValue(*it) < size)
            return rawValue(*it);
    }
    return minimum;
}

qint64 nextPreset(qint64 size, bool toEnd)
{
    if (toEnd)
        return maximum;
    for (IconSize preset : allIconSizes) {
        if (rawValue(preset) > size)
            return rawValue(preset);
    }
    return maximum;
}

QString toText(qint64 size, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(size);
}

std::optional<qint64> fromText(const QString &text, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::RejectGroupSeparator);
    const QString trimmed = text.trimmed();
    bool ok = false;
    const qint64 value = plain.toLongLong(trimmed, &ok);
    if (ok)
        return value;

    // Too many digits for 64 bits is still an integer, just far out of range.
    QString digits = trimmed;
    const bool negative = digits.startsWith(plain.negativeSign());
    if (negative)
        digits.remove(0, plain.negativeSign().size());
    else if (digits.startsWith(plain.positiveSign()))
        digits.remove(0, plain.positiveSign().size());
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar digit : std::as_const(digits)) {
        bool isDigit = false;
        plain.toInt(QString(digit), &isDigit);
        if (!isDigit)
            return std::nullopt;
    }
    return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
}

} // namespace IconPreviewSize
