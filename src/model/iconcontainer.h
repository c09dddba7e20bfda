// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icon.h"
#include "model/rgbacolor.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <cstdint>
#include <optional>

// A record of the library, not a container class in Qt's sense.
// One rAvivovode: a titled, authored set of icons. An aggregate, so that a creator names only the
// fields it gives (`IconContainer { .title = u"Space"_s }`); every other field takes its initial value.
// Every field has an initializer, so that naming only some of them draws no warning.
struct IconContainer
{
    QUuid id = QUuid::createUuid();
    QString title = QStringLiteral("Icon Container");
    QString collectionID {};
    QString collectionVersion = QStringLiteral("1.0");
    QString authorName {};
    QString authorURL {};
    QString authorEmail {};
    bool authoringLock = false;
    std::optional<RGBAColor> backgroundColor {};
    std::uint8_t containerVersion = 4;
    QString copyright {};
    std::optional<QByteArray> customIcon {};
    QList<Icon> icons {};
    // The name of the library folder it was read from; empty for a container from anywhere else.
    // Known at run time only and never written: it says "the same container as before" across
    // loads, which make new identifiers each time.
    QString folderName {};

    // The image that stands for the container in the sidebar: its custom icon at the sidebar size,
    // else the application's "CollectionIcon".
    PlatformImage iconImage(SidebarIconSize size) const;
};
