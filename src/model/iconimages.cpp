// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/iconimages.h"

#include <algorithm>
#include <mutex>

namespace {

// The largest preview size: a wider image still gets this entry.
constexpr double largestPreviewPoints = 512;

} // namespace

struct IconImages::State
{
    IconData data;
    IconFileType type = IconFileType::icns;
    std::once_flag read;
    PlatformImage image;
    QList<IconPreviewRep> previews;
};

IconImages::IconImages(const IconData &data, IconFileType type)
{
    if (data) {
        m_state = std::make_shared<State>();
        m_state->data = data;
        m_state->type = type;
    }
}

const IconImages::State *IconImages::state() const
{
    if (!m_state)
        return nullptr;
    State &state = *m_state;
    std::call_once(state.read, [&state] {
        state.image = imageOf(state.data).value_or(PlatformImage());
        state.previews = previewsOf(state.image, state.type);
    });
    return &state;
}

const PlatformImage &IconImages::image() const
{
    static const PlatformImage none;
    const State *state = this->state();
    return state ? state->image : none;
}

const QList<IconPreviewRep> &IconImages::previews() const
{
    static const QList<IconPreviewRep> none;
    const State *state = this->state();
    return state ? state->previews : none;
}

std::optional<PlatformImage> IconImages::imageOf(const IconData &data)
{
    if (!data)
        return std::nullopt;
    // A stored file's image was read from its headers by the load: nothing is read here.
    if (data.isStored()) {
        const PlatformImage &image = data.storedImage();
        return image.isNull() ? std::nullopt : std::optional(image);
    }
    return PlatformImage::fromData(*data);
}

std::optional<PlatformImage> IconImages::previewAt(const PlatformImage &image, double points)
{
    const std::optional<ImageRep> rep = image.bestRepresentation(points);
    if (!rep || rep->isNull())
        return std::nullopt;
    return PlatformImage::fromRepresentation(*rep, QSizeF(points, points), image.representations());
}

QList<IconPreviewRep> IconImages::previewsOf(const PlatformImage &image, IconFileType type)
{
    QList<IconPreviewRep> reps;
    if (image.isNull())
        return reps;
    reps.reserve(qsizetype(std::size(allIconSizes)));
    if (type == IconFileType::icns) {
        // Sizes that pick the same representation share one preview, shown at each one's size.
        std::optional<PlatformImage> last;
        for (IconSize size : allIconSizes) {
            const double points = pointSize(size);
            const std::optional<ImageRep> rep = image.bestRepresentation(points);
            if (!rep)
                continue;
            if (!last || last->representations().constFirst() != *rep)
                last = previewAt(image, points);
            reps.append({ size, last->atPointSize(QSizeF(points, points)) });
        }
        return reps;
    }
    // An image wider than the largest size still gets that one entry, so that a common
    // 1024-pixel icon shows in the grid and the list.
    const double smallest = std::min(image.size().width(), largestPreviewPoints);
    for (IconSize size : allIconSizes) {
        if (pointSize(size) < smallest)
            continue;
        reps.append({ size, previewAt(image, pointSize(size)).value_or(image) });
    }
    return reps;
}
