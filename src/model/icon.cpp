// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/icon.h"

#include <QLocale>

#include <utility>

Icon::Icon(QUuid id, QUuid containerID, QString name, IconFileType type, std::optional<QByteArray> icnsData,
    std::optional<QByteArray> imageData, QString author, QString copyright, QString authorURL,
    std::optional<QString> filename)
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
    const std::optional<QByteArray> &data = this->type == IconFileType::icns ? this->icnsData : this->imageData;
    if (data)
        dataImage = PlatformImage::fromData(*data).value_or(PlatformImage());
    previewReps = makePreviewReps();
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
        return icnsData.value_or(imageData.value_or(QByteArray()));
    case IconFileType::image:
        return imageData.value_or(QByteArray());
    }
    return {};
}
