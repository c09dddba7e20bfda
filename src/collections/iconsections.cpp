// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconsections.h"

QList<IconSection> iconSections(
    const QList<IconContainer> &containers, const QSet<QUuid> &containerSelection, const QString &searchText)
{
    QList<IconSection> sections;
    for (qsizetype c = 0; c < containers.size(); ++c) {
        const IconContainer &container = containers.at(c);
        if (!containerSelection.contains(container.id))
            continue;
        IconSection section { container.id, c, {} };
        for (qsizetype i = 0; i < container.icons.size(); ++i) {
            if (container.icons.at(i).matches(searchText))
                section.iconIndexes.append(i);
        }
        sections.append(std::move(section));
    }
    return sections;
}
