// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconsections.h"

#include "library/containermanager.h"
#include "model/iconsearchkey.h"

#include <numeric>

QList<IconSection> iconSections(
    const ContainerManager &library, const QSet<QUuid> &containerSelection, const QString &foldedSearchText)
{
    const QList<IconContainer> &containers = library.containers();
    QList<IconSection> sections;
    for (qsizetype c = 0; c < containers.size(); ++c) {
        const IconContainer &container = containers.at(c);
        if (!containerSelection.contains(container.id))
            continue;
        IconSection section { container.id, c, {} };
        if (foldedSearchText.isEmpty()) {
            section.iconIndexes.resize(container.icons.size());
            std::iota(section.iconIndexes.begin(), section.iconIndexes.end(), qsizetype(0));
        } else {
            const QList<IconSearchKey> &keys = library.searchKeys(c);
            for (qsizetype i = 0; i < keys.size(); ++i) {
                if (keys.at(i).matches(foldedSearchText))
                    section.iconIndexes.append(i);
            }
        }
        sections.append(std::move(section));
    }
    return sections;
}
