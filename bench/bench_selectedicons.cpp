// SPDX-License-Identifier: GPL-3.0-or-later
// How long resolving the icon selection takes in a large library, against the plain rule of one
// scan of the lookups, the containers and a container's icons per selected identifier.

#include "library/containermanager.h"
#include "library/iconselectionmanager.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

QList<Icon> perIdentifierScans(const IconSelection &selection)
{
    const ContainerManager &library = ContainerManager::shared();
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

template <typename Resolve> double millisecondsFor(Resolve resolve, const IconSelection &selection, qsizetype expected)
{
    QElapsedTimer timer;
    timer.start();
    const int rounds = 5;
    for (int round = 0; round < rounds; ++round) {
        if (resolve(selection).size() != expected)
            std::exit(1);
    }
    return timer.nsecsElapsed() / 1e6 / rounds;
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
    ContainerManager::shared().setContainers(library);
    ContainerManager::shared().setIconLookupSet(lookups);
    std::mt19937 random(42);
    std::shuffle(all.begin(), all.end(), random);

    std::printf("library of %d icons in %d containers\n", containers * iconsPerContainer, containers);
    for (const qsizetype count : { qsizetype(1), qsizetype(10), qsizetype(100), qsizetype(1000), all.size() }) {
        IconSelection selection;
        for (qsizetype i = 0; i < count; ++i)
            selection.insert(all.at(i));
        const double resolved
            = millisecondsFor([](const IconSelection &chosen) { return selectedIcons(chosen); }, selection, count);
        const double scanned = millisecondsFor(perIdentifierScans, selection, count);
        std::printf("%6lld selected: %8.3f ms (per-identifier scans %9.3f ms)\n", qlonglong(count), resolved, scanned);
    }
    return 0;
}
