// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconenums.h"
#include "model/iconpreviewrep.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// One icon of a container. A plain value: copies share the (immutable) bytes and images.
// Identifiers are made at run time and never stored in a file.
struct Icon
{
    // An icon read from JSON: no data and no previews until it is rebuilt with the other constructor.
    Icon() = default;
    // Stores the fields, then builds the previews from the data of the icon's kind.
    Icon(QUuid id, QUuid containerID, QString name, IconFileType type, std::optional<QByteArray> icnsData,
        std::optional<QByteArray> imageData, QString author, QString copyright, QString authorURL,
        std::optional<QString> filename);

    QUuid id;
    QUuid containerID;
    QString name;
    IconFileType type = IconFileType::icns;
    std::optional<QByteArray> icnsData;
    std::optional<QByteArray> imageData;
    QString author;
    QString copyright;
    QString authorURL;
    std::optional<QString> filename;
    // At most one entry per size, ascending. Building it reads image headers only; pixels are
    // decoded when an entry is first drawn.
    QList<IconPreviewRep> previewReps;
    // The image made from the data of the icon's kind, read once by the constructor that builds
    // the previews; the previews and previewImage() draw from it, so they all share its decoded
    // pixels. Null for an icon read from JSON and for data that is no image.
    PlatformImage dataImage;

    QList<IconPreviewRep> makePreviewReps() const;
    // The icon drawn at `size` points; none when its data is missing or is no image. Draws from
    // dataImage, so repeated calls decode nothing twice.
    std::optional<PlatformImage> previewImage(double size) const;
    // Whether the icon is shown for the search text: name, author, author URL or copyright
    // contains it, ignoring case for the user's locale. Empty text matches every icon.
    bool matches(const QString &text) const;
    // The bytes of the icon's own kind (an ICNS icon falls back to its image data); empty when none.
    QByteArray primaryData() const;
};
