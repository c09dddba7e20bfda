// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconpreviewsizedrag.h"

#include "collections/iconpreviewsize.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace {

// Far beyond any size, yet small enough that the float converts to an integer safely.
constexpr float offsetBound = 1.0e6F;

// Motions queued before a warp are few; beyond these a fast hand is moving the pointer that way.
constexpr int maximumStaleMotions = 2;

qint64 truncated(float value)
{
    return static_cast<qint64>(std::clamp(value, -offsetBound, offsetBound));
}

} // namespace

IconPreviewSizeDrag::IconPreviewSizeDrag(std::shared_ptr<ScreenPointer> pointer)
    : m_pointer(std::move(pointer))
{ }

IconPreviewSizeDrag::~IconPreviewSizeDrag()
{
    finish();
}

std::optional<IconPreviewSizeDrag::Step> IconPreviewSizeDrag::move(
    QPointF press, QPointF position, qint64 size, qint64 base, bool stepping)
{
    m_dragging = true;
    const std::optional<QRect> screen = m_pointer->primaryScreenGeometry();
    if (!screen)
        return Step {};

    if (m_pendingWarp) {
        const bool stale
            = QLineF(position, m_pendingWarp->from).length() < QLineF(position, m_pendingWarp->to).length();
        if (stale && m_pendingWarp->dropsLeft-- > 0)
            return std::nullopt;
        m_pendingWarp.reset();
    }

    QPointF current = position + m_shift;
    const QPointF centre = screen->center();
    Step step;
    qint64 newSize = size;
    if (m_original && m_draggingOffset) {
        const auto translation = static_cast<float>(current.x() - press.x());
        const float offset = (static_cast<float>(*m_draggingOffset) + translation) * speedMultiplier;

        // Hold at the ends, judged by the size before this motion.
        if (m_extremePosition && m_extremeTranslation
            && ((size == IconPreviewSize::minimum && translation < *m_extremeTranslation)
                || (size == IconPreviewSize::maximum && translation > *m_extremeTranslation))) {
            warpTo(*m_extremePosition, current);
            current = *m_extremePosition;
        }

        if (stepping) {
            const auto travel = static_cast<float>(current.x() - m_parkX) * speedMultiplier;
            if (std::abs(travel) > stepThreshold) {
                newSize = travel < 0 ? IconPreviewSize::previousPreset(size, false)
                                     : IconPreviewSize::nextPreset(size, false);
                step.size = newSize;
                warpTo(centre, current);
                m_parkX = centre.x();
            }
        } else {
            newSize = IconPreviewSize::clamped(base + truncated(offset));
            step.size = newSize;
            const bool recorded = m_extremePosition.has_value();
            if (newSize == IconPreviewSize::minimum || (newSize == IconPreviewSize::maximum && !recorded)) {
                m_extremePosition = current;
                m_extremeTranslation = translation;
            } else {
                m_extremePosition.reset();
                m_extremeTranslation.reset();
            }
        }
    }

    step.onPreset = IconPreviewSize::isPreset(newSize);

    if (!m_original) {
        m_original = current;
        m_draggingOffset = truncated(static_cast<float>(current.x() - centre.x()));
        warpTo(centre, current);
        m_parkX = centre.x();
        m_pointer->hidePointer();
        m_hidden = true;
    }
    return step;
}

void IconPreviewSizeDrag::finish()
{
    if (m_original && m_pointer->canWarpPointer() && m_pointer->primaryScreenGeometry())
        m_pointer->warpPointer(m_original->toPoint());
    if (m_hidden) {
        m_pointer->showPointer();
        m_hidden = false;
    }
    m_dragging = false;
    m_original.reset();
    m_draggingOffset.reset();
    m_extremePosition.reset();
    m_extremeTranslation.reset();
    m_parkX = 0;
    m_shift = {};
    m_pendingWarp.reset();
}

void IconPreviewSizeDrag::warpTo(QPointF target, QPointF current)
{
    if (m_pointer->canWarpPointer()) {
        m_pointer->warpPointer(target.toPoint());
        m_pendingWarp = Warp { current - m_shift, target, maximumStaleMotions };
    } else {
        m_shift += target - current;
    }
}
