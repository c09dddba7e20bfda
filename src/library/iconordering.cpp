// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/iconordering.h"

#include <QHash>
#include <QSet>

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

    // An icon whose key is listed as it is spelled takes that entry's first index. One spelled in
    // another form of a listed key takes the first index of that key that no other icon took so,
    // so that "\u00e9t\u00e9" and "e\u0301te\u0301", each with an entry of its own, keep their
    // own places; when every such index is taken, it shares the first.
    QHash<QString, qint64> exactIndex;
    QHash<QString, QList<qint64>> equivalentIndexes;
    exactIndex.reserve(order.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        equivalentIndexes[comparable(order.at(i))].append(i);
    // Walking backwards leaves each string at its first index.
    for (qsizetype i = order.size() - 1; i >= 0; --i)
        exactIndex.insert(order.at(i), i);

    std::vector<std::pair<qint64, qsizetype>> positions(size_t(icons.size()), { unlisted, 0 });
    QSet<qint64> taken;
    std::vector<qsizetype> inexact;
    for (qsizetype i = 0; i < icons.size(); ++i) {
        positions[size_t(i)].second = i;
        const auto exact = exactIndex.constFind(keyOf(icons.at(i), key));
        if (exact == exactIndex.cend()) {
            inexact.push_back(i);
            continue;
        }
        positions[size_t(i)].first = *exact;
        taken.insert(*exact);
    }
    for (const qsizetype i : inexact) {
        const auto equivalents = equivalentIndexes.constFind(comparable(keyOf(icons.at(i), key)));
        if (equivalents == equivalentIndexes.cend())
            continue;
        qint64 position = equivalents->first();
        for (const qint64 index : *equivalents) {
            if (!taken.contains(index)) {
                position = index;
                break;
            }
        }
        positions[size_t(i)].first = position;
        taken.insert(position);
    }
    std::stable_sort(
        positions.begin(), positions.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    QList<Icon> ordered;
    ordered.reserve(icons.size());
    for (const auto &[position, index] : positions)
        ordered.append(std::move(icons[index]));
    icons = std::move(ordered);
}
