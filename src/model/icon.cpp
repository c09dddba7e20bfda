// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/icon.h"

#include <QLocale>

#include <mutex>
#include <utility>

struct Icon::Images
{
    IconData data;
    IconFileType type = IconFileType::icns;
    std::once_flag read;
    PlatformImage image;
    QList<IconPreviewRep> previews;
};

Icon::Icon(QUuid id, QUuid containerID, QString name, IconFileType type, IconData icnsData, IconData imageData,
    QString author, QString copyright, QString authorURL, std::optional<QString> filename)
    : id(id)
    , containerID(containerID)
    , name(std::move(name))
    , type(type)
    , icnsData(std::move(icnsData))
    , imageData(std::move(imageData))
    , author(std::move(author))
    , copyright(std::move(copyright))
    , authorURL(std::move(authorURL))
    , filename(std::move(filename))
{
    // Taken now, so that the previews stay those of the data the icon was built with.
    const IconData &data = this->type == IconFileType::icns ? this->icnsData : this->imageData;
    if (data) {
        m_images = std::make_shared<Images>();
        m_images->data = data;
        m_images->type = this->type;
    }
}

const Icon::Images *Icon::images() const
{
    if (!m_images)
        return nullptr;
    Images &images = *m_images;
    std::call_once(images.read, [&images] {
        // A stored file's image was read from its headers by the load: nothing is read here.
        images.image = images.data.isStored() ? images.data.storedImage()
                                              : PlatformImage::fromData(*images.data).value_or(PlatformImage());
        images.previews = previewRepsOf(images.image, images.type);
    });
    return &images;
}

const QList<IconPreviewRep> &Icon::previewReps() const
{
    static const QList<IconPreviewRep> none;
    const Images *images = this->images();
    return images ? images->previews : none;
}

const PlatformImage &Icon::dataImage() const
{
    static const PlatformImage none;
    const Images *images = this->images();
    return images ? images->image : none;
}

bool Icon::matches(const QString &text) const
{
    if (text.isEmpty())
        return true;
    // Compared in composed form so that a decomposed accent in a file-derived name still matches
    // what the user types.
    const QLocale locale;
    const QString needle = locale.toLower(text).normalized(QString::NormalizationForm_C);
    for (const QString *field : { &name, &author, &authorURL, &copyright }) {
        if (locale.toLower(*field).normalized(QString::NormalizationForm_C).contains(needle))
            return true;
    }
    return false;
}

QByteArray Icon::primaryData() const
{
    switch (type) {
    case IconFileType::icns:
        // Data that can no longer be read counts as missing.
        if (std::optional<QByteArray> bytes = icnsData.read())
            return *std::move(bytes);
        return *imageData;
    case IconFileType::image:
        return *imageData;
    }
    return {};
}
