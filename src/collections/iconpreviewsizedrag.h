// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/screenpointer.h"

#include <QPointF>

#include <memory>
#include <optional>

// Turns a horizontal drag on the preview-size stepper's number into sizes. On the first motion the
// pointer is hidden and parked at the primary screen's centre, so travel is never cut short by the
// screen's edge; the jump is measured out, so the size follows the pointer's whole travel. With
// Alt held the drag steps one preset per 40 points of travel from the last park point instead. At
// 16 and 512 the pointer is held where the size pinned, so turning back responds at once.
//
// Where the pointer cannot be moved (Wayland) the parking and holding happen in the drag's own
// reckoning only: the travel is measured from where the drag began.
//
// finish() ends the drag however it ends (release, lost grab, hidden or disabled widget,
// destruction): it puts the pointer back where the drag was recognised and shows it again, but
// only when this drag hid it. All positions are global, top-left origin.
class IconPreviewSizeDrag
{
public:
    static constexpr float speedMultiplier = 1.0F;
    static constexpr float stepThreshold = 40.0F;

    struct Step
    {
        // The size to store, when the motion changed it.
        std::optional<qint64> size;
        // Whether the size now sits on a preset (the level-change feedback's trigger).
        bool onPreset = false;
    };

    explicit IconPreviewSizeDrag(std::shared_ptr<ScreenPointer> pointer);
    ~IconPreviewSizeDrag();
    IconPreviewSizeDrag(const IconPreviewSizeDrag &) = delete;
    IconPreviewSizeDrag &operator=(const IconPreviewSizeDrag &) = delete;

    bool isDragging() const { return m_dragging; }

    // One motion of a recognised drag: `press` is where the button went down, `position` where the
    // pointer is now; `size` the stored size, `base` the size when the drag began; `stepping`
    // whether Alt is held. None when the motion was reported from before the last warp and is
    // dropped. With no screen the motion only marks the drag.
    std::optional<Step> move(QPointF press, QPointF position, qint64 size, qint64 base, bool stepping);

    // Safe at any time and more than once.
    void finish();

private:
    // Moves the pointer, or where it cannot move, shifts the drag's reckoning as if it had.
    void warpTo(QPointF target, QPointF current);

    std::shared_ptr<ScreenPointer> m_pointer;
    bool m_dragging = false;
    bool m_hidden = false;
    // Where the drag was recognised; set while parked.
    std::optional<QPointF> m_original;
    // Cancels the jump from m_original to the screen's centre; set while parked.
    std::optional<qint64> m_draggingOffset;
    // Where the pointer was, and the drag's travel, when the size last pinned at an end.
    std::optional<QPointF> m_extremePosition;
    std::optional<float> m_extremeTranslation;
    // The x of the last park point, from which Alt-stepping measures.
    qreal m_parkX = 0;
    // Added to reported positions where warps happen in the reckoning only.
    QPointF m_shift;
    // After a real warp, motions still reported from the old place are dropped (a few at most).
    struct Warp
    {
        QPointF from;
        QPointF to;
        int dropsLeft = 0;
    };
    std::optional<Warp> m_pendingWarp;
};
