// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/icon.h"

#include <QLocale>

#include <utility>

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
