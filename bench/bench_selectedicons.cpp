// SPDX-License-Identifier: GPL-3.0-or-later
// How long resolving the icon selection takes in a large library, against the plain rule of one
// scan of the lookups, the containers and a container's icons per selected identifier; the same
// once the lookups of 50 earlier loads have piled up; and pruning 10,000 selected icons to the
// containers still selected (target: at most 5 ms). Medians of several runs.

#include "benchtable.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

QList<Icon> perIdentifierScans(const ContainerManager &library, const IconSelection &selection)
{
    QList<Icon> result;
    for (const QUuid &id : selection) {
        const auto &lookups = library.iconLookupSet();
        const auto lookup
            = std::find_if(lookups.cbegin(), lookups.cend(), [&id](const IconLookup &entry) { return entry.id == id; });
        if (lookup == lookups.cend())
            continue;
        const auto &containers = library.containers();
        const auto container = std::find_if(containers.cbegin(), containers.cend(),
            [&lookup](const IconContainer &entry) { return entry.id == lookup->containerID; });
        if (container == containers.cend())
            continue;
        const auto icon = std::find_if(
            container->icons.cbegin(), container->icons.cend(), [&id](const Icon &entry) { return entry.id == id; });
        if (icon != container->icons.cend())
            result.append(*icon);
    }
    return result;
}

constexpr int rounds = 7;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

template <typename Resolve> double millisecondsFor(Resolve resolve, const IconSelection &selection, qsizetype expected)
{
    QList<double> times;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        if (resolve(selection).size() != expected)
            std::exit(1);
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int containers = 100;
    constexpr int iconsPerContainer = 100;
    QList<IconContainer> library;
    QSet<IconLookup> lookups;
    QList<QUuid> all;
    for (int c = 0; c < containers; ++c) {
        IconContainer container;
        for (int i = 0; i < iconsPerContainer; ++i) {
            Icon icon;
            icon.id = QUuid::createUuid();
            icon.containerID = container.id;
            container.icons.append(icon);
            lookups.insert({ icon.id, container.id });
            all.append(icon.id);
        }
        library.append(container);
    }
    ContainerManager manager;
    manager.setContainers(library);
    manager.setIconLookupSet(lookups);
    std::mt19937 random(42);
    std::shuffle(all.begin(), all.end(), random);

    std::printf("library of %d icons in %d containers\n", containers * iconsPerContainer, containers);
    BenchTable table;
    for (const qsizetype count : { qsizetype(1), qsizetype(10), qsizetype(100), qsizetype(1000), all.size() }) {
        IconSelection selection;
        for (qsizetype i = 0; i < count; ++i)
            selection.insert(all.at(i));
        const double resolved = millisecondsFor(
            [&](const IconSelection &chosen) { return selectedIcons(manager, chosen); }, selection, count);
        const double scanned = millisecondsFor(
            [&](const IconSelection &chosen) { return perIdentifierScans(manager, chosen); }, selection, count);
        table.add(QStringLiteral("%1 selected").arg(count), resolved, QStringLiteral("ms"), std::nullopt, 3);
        table.add(QStringLiteral("%1 selected, per-identifier scans").arg(count), scanned, QStringLiteral("ms"),
            std::nullopt, 3);
    }

    // The lookups only grow: fifty earlier loads left theirs behind.
    QSet<IconLookup> grown = lookups;
    for (int load = 0; load < 50; ++load) {
        for (const IconContainer &container : std::as_const(library)) {
            const QUuid containerID = QUuid::createUuid();
            for (qsizetype i = 0; i < container.icons.size(); ++i)
                grown.insert({ QUuid::createUuid(), containerID });
        }
    }
    manager.setIconLookupSet(grown);
    IconSelection thousand;
    for (qsizetype i = 0; i < 1000; ++i)
        thousand.insert(all.at(i));
    table.add(QStringLiteral("1000 selected after 50 loads' lookups (%1)").arg(grown.size()),
        millisecondsFor([&](const IconSelection &chosen) { return selectedIcons(manager, chosen); }, thousand, 1000),
        QStringLiteral("ms"), std::nullopt, 3);

    // Pruning: every icon selected, then all but one container deselected.
    IconSelection everything;
    for (const QUuid &id : std::as_const(all))
        everything.insert(id);
    QList<double> prunes;
    qsizetype left = 0;
    int changes = 0;
    for (int round = 0; round < rounds; ++round) {
        IconSelectionManager selected;
        selected.setSelection(everything);
        QObject::connect(&selected, &IconSelectionManager::selectionChanged, &selected, [&changes] { ++changes; });
        QElapsedTimer timer;
        timer.start();
        selectionPruneFilter(manager, selected, { library.first().id });
        prunes.append(timer.nsecsElapsed() / 1e6);
        left = qsizetype(selected.selection().size());
    }
    const double prune = median(prunes);
    table.add(
        QStringLiteral("pruning %1 selected to one container").arg(all.size()), prune, QStringLiteral("ms"), 5, 3);
    table.check(QStringLiteral("one change per prune, one container's icons left"),
        left == iconsPerContainer && changes == rounds);
    return table.print();
}
