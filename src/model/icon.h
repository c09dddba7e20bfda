// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icondata.h"
#include "model/iconenums.h"
#include "model/iconimages.h"
#include "model/iconpreviewrep.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// One icon of a container. A plain value: copies share the (immutable) bytes and images.
// Identifiers are made at run time and never stored in a file. An icon a library load read holds
// its file, not its bytes (see IconData). An aggregate, so that a creator names the fields it gives
// (`Icon { .id = QUuid::createUuid(), .name = u"Star"_s, .icnsData = bytes }`); every field has an
// initializer, so that naming only some of them draws no warning.
struct Icon
{
    QUuid id {};
    QUuid containerID {};
    QString name {};
    IconFileType type = IconFileType::icns;
    IconData icnsData {};
    IconData imageData {};
    QString author {};
    QString copyright {};
    QString authorURL {};
    std::optional<QString> filename {};
    // Made from the data of the icon's kind when the icon is made, so that they stay those of the
    // data it was made with; an icon read from JSON, or made without data, has none. Creators leave
    // it to this initializer.
    IconImages images { type == IconFileType::icns ? icnsData : imageData, type };

    // At most one entry per size, ascending. Building it reads image headers only; pixels are
    // decoded when an entry is first drawn. Empty for an icon read from JSON.
    const QList<IconPreviewRep> &previewReps() const { return images.previews(); }
    // The image made from the data the icon was built with, of the icon's kind; the previews and
    // previewImage() draw from it, so they all share its decoded pixels. Null for an icon read
    // from JSON and for data that is no image. Safe to call from any thread.
    const PlatformImage &dataImage() const { return images.image(); }

    // The icon drawn at `size` points; none when its data is missing or is no image. Draws from
    // dataImage(), so repeated calls decode nothing twice.
    std::optional<PlatformImage> previewImage(double size) const;
    // Whether the icon is shown for the search text: name, author, author URL or copyright
    // contains it, ignoring case for the user's locale. Empty text matches every icon.
    bool matches(const QString &text) const;
    // The bytes of the icon's own kind (an ICNS icon falls back to its image data); empty when none,
    // or when they lie in a file that can no longer be read as it was. May read a file.
    QByteArray primaryData() const;
};
