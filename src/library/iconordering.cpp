// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/iconordering.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace {

// Canonically equivalent strings share one composed form.
QString comparable(const QString &text)
{
    return text.normalized(QString::NormalizationForm_C);
}

const QString &keyOf(const Icon &icon, IconOrderKey key)
{
    if (key == IconOrderKey::fileNameOrName && icon.filename)
        return *icon.filename;
    return icon.name;
}

} // namespace

void orderIcons(QList<Icon> &icons, const QStringList &order, IconOrderKey key)
{
    constexpr qint64 unlisted = std::numeric_limits<qint64>::max();
    if (order.isEmpty() || icons.size() < 2)
        return;

    // Canonically equivalent strings are one key: an icon takes the first index of any form of
    // its key, also when a later element spells it exactly.
    QHash<QString, qint64> firstIndex;
    firstIndex.reserve(order.size());
    // Walking backwards leaves each string at its first index.
    for (qsizetype i = order.size() - 1; i >= 0; --i)
        firstIndex.insert(comparable(order.at(i)), i);

    std::vector<std::pair<qint64, qsizetype>> positions;
    positions.reserve(size_t(icons.size()));
    for (qsizetype i = 0; i < icons.size(); ++i)
        positions.emplace_back(firstIndex.value(comparable(keyOf(icons.at(i), key)), unlisted), i);
    std::stable_sort(
        positions.begin(), positions.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    QList<Icon> ordered;
    ordered.reserve(icons.size());
    for (const auto &[position, index] : positions)
        ordered.append(std::move(icons[index]));
    icons = std::move(ordered);
}
