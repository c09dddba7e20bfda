// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icondata.h"
#include "model/iconenums.h"
#include "model/iconpreviewrep.h"

#include <QList>

#include <memory>
#include <optional>

// The image and the previews made from the data of an icon's kind. They are read when first asked
// for, once for the value and all its copies (a load reads thousands of icons and the views draw a
// few screens of them), and stay those of the data it was made with. Safe to use from any thread.
class IconImages
{
public:
    // Holds nothing: a null image and no previews.
    IconImages() = default;
    IconImages(const IconData &data, IconFileType type);

    // Null for no data and for data that is no image.
    const PlatformImage &image() const;
    // At most one entry per size, ascending. Building it reads image headers only.
    const QList<IconPreviewRep> &previews() const;

    // The image of `data`: the stored file's image, read from its headers by the load, or one
    // read from the bytes now. None without data and for data that is no image.
    static std::optional<PlatformImage> imageOf(const IconData &data);
    // The best representation of `image` for a square of `points`, shown at that size and drawn
    // from the best of the image's representations at each device pixel ratio. Pixels are decoded
    // lazily, so a representation whose header was read counts as yielding a bitmap until its
    // decode has failed. None when the image has no such representation.
    static std::optional<PlatformImage> previewAt(const PlatformImage &image, double points);

private:
    struct State;
    // Read on the first call; null without data.
    const State *state() const;
    // The previews of `image`, read from the data of an icon of kind `type`.
    static QList<IconPreviewRep> previewsOf(const PlatformImage &image, IconFileType type);

    std::shared_ptr<State> m_state;
};
