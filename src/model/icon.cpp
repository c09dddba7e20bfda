// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/icon.h"

#include "model/iconsearchkey.h"

#include <utility>

bool Icon::matches(const QString &text) const
{
    if (text.isEmpty())
        return true;
    return IconSearchKey(*this).matches(IconSearchKey::folded(text));
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
