// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icondata.h"
#include "model/iconenums.h"
#include "model/iconpreviewrep.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <memory>
#include <optional>

// One icon of a container. A plain value: copies share the (immutable) bytes and images.
// Identifiers are made at run time and never stored in a file. An icon a library load read holds
// its file, not its bytes (see IconData).
struct Icon
{
    // An icon read from JSON: no data and no previews until it is rebuilt with the other constructor.
    Icon() = default;
    // Stores the fields. The image and the previews of the data of the icon's kind are built when
    // first asked for, once for the icon and all its copies: a load reads thousands of icons and
    // the views draw a few screens of them.
    Icon(QUuid id, QUuid containerID, QString name, IconFileType type, IconData icnsData, IconData imageData,
        QString author, QString copyright, QString authorURL, std::optional<QString> filename);

    QUuid id;
    QUuid containerID;
    QString name;
    IconFileType type = IconFileType::icns;
    IconData icnsData;
    IconData imageData;
    QString author;
    QString copyright;
    QString authorURL;
    std::optional<QString> filename;

    // At most one entry per size, ascending. Building it reads image headers only; pixels are
    // decoded when an entry is first drawn. Empty for an icon read from JSON.
    const QList<IconPreviewRep> &previewReps() const;
    // The image made from the data the icon was built with, of the icon's kind; the previews and
    // previewImage() draw from it, so they all share its decoded pixels. Null for an icon read
    // from JSON and for data that is no image. Safe to call from any thread.
    const PlatformImage &dataImage() const;

    // The icon drawn at `size` points; none when its data is missing or is no image. Draws from
    // dataImage(), so repeated calls decode nothing twice.
    std::optional<PlatformImage> previewImage(double size) const;
    // Whether the icon is shown for the search text: name, author, author URL or copyright
    // contains it, ignoring case for the user's locale. Empty text matches every icon.
    bool matches(const QString &text) const;
    // The bytes of the icon's own kind (an ICNS icon falls back to its image data); empty when none,
    // or when they lie in a file that can no longer be read as it was. May read a file.
    QByteArray primaryData() const;

private:
    struct Images;
    // The image and previews, read on the first call; null for an icon without data.
    const Images *images() const;
    // The previews of `image`, read from the data of an icon of kind `type`.
    static QList<IconPreviewRep> previewRepsOf(const PlatformImage &image, IconFileType type);

    // Shared by copies, so that the image is read once; none for an icon read from JSON.
    std::shared_ptr<Images> m_images;
};
