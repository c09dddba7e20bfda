// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/iconordering.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <optional>
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

    // An exact match comes first, so that two names differing only in composition keep their own
    // places; the composed form serves names whose form changed on the way. It is worked out
    // only when an exact match is missing, which is rare.
    QHash<QString, qint64> firstIndex;
    firstIndex.reserve(order.size());
    // Walking backwards leaves each string at its first index.
    for (qsizetype i = order.size() - 1; i >= 0; --i)
        firstIndex.insert(order.at(i), i);
    std::optional<QHash<QString, qint64>> firstComposedIndex;
    const auto composedIndex = [&](const QString &iconKey) {
        if (!firstComposedIndex) {
            firstComposedIndex.emplace().reserve(order.size());
            for (qsizetype i = order.size() - 1; i >= 0; --i)
                firstComposedIndex->insert(comparable(order.at(i)), i);
        }
        return firstComposedIndex->value(comparable(iconKey), unlisted);
    };

    std::vector<std::pair<qint64, qsizetype>> positions;
    positions.reserve(size_t(icons.size()));
    for (qsizetype i = 0; i < icons.size(); ++i) {
        const QString &iconKey = keyOf(icons.at(i), key);
        const auto exact = firstIndex.constFind(iconKey);
        positions.emplace_back(exact != firstIndex.cend() ? *exact : composedIndex(iconKey), i);
    }
    std::stable_sort(
        positions.begin(), positions.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    QList<Icon> ordered;
    ordered.reserve(icons.size());
    for (const auto &[position, index] : positions)
        ordered.append(std::move(icons[index]));
    icons = std::move(ordered);
}
