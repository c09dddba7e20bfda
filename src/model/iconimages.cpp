// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/iconimages.h"

#include <mutex>

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
        // A stored file's image was read from its headers by the load: nothing is read here.
        state.image = state.data.isStored() ? state.data.storedImage()
                                            : PlatformImage::fromData(*state.data).value_or(PlatformImage());
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
