// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"
#include "support/icnsbuilder.h"

#include <QString>
#include <QStringList>
#include <QUuid>

// Small containers for the collection-view tests: PNG icons named as given, each with its own
// picture so that previews exist at every size from the picture's width up.
namespace IconFixture {

inline Icon icon(const QString &name, const QUuid &containerID, int pixels = 64)
{
    const QByteArray png = IcnsBuilder::png(IcnsBuilder::pattern(pixels, pixels));
    return Icon { .id = QUuid::createUuid(),
        .containerID = containerID,
        .name = name,
        .type = IconFileType::image,
        .imageData = png };
}

inline IconContainer container(const QString &title, const QStringList &names, int pixels = 64)
{
    IconContainer container { .title = title };
    for (const QString &name : names)
        container.icons.append(icon(name, container.id, pixels));
    return container;
}

inline QString namesOf(const QList<Icon> &icons)
{
    QString names;
    for (const Icon &icon : icons)
        names += icon.name;
    return names;
}

} // namespace IconFixture
