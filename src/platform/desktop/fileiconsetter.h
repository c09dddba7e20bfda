// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

#include <optional>

// Sets the custom icon that file managers show for a file or folder. The application owns one
// (GioFileIconSetter, the desktop's metadata store) and hands it to whatever sets icons; tests hand
// in a fake to count calls. Implementations must be safe to call from any thread.
class FileIconSetter
{
public:
    virtual ~FileIconSetter() = default;

    // Makes `image` the custom icon of the item at `path` (a plain path, not a URL), or removes the
    // item's custom icon when there is no image. False when that did not happen.
    virtual bool setIcon(const std::optional<QImage> &image, const QString &path) = 0;
};
