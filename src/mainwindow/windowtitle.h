// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

// What a main window's title bar says about its container selection.
struct WindowTitle
{
    QString title;
    QString subtitle;

    friend bool operator==(const WindowTitle &, const WindowTitle &) = default;

    // With exactly one selected identifier that names a container (the first in library order), its
    // title verbatim and its author name; otherwise the product name and no subtitle.
    static WindowTitle forSelection(const QSet<QUuid> &selection, const QList<IconContainer> &containers);
    // The one line a title bar shows: "title — subtitle", or the title alone without a subtitle.
    QString line() const;
};
