// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/screenpointer.h"

#include <QList>

// A screen and pointer that only record: warps land at once and are listed, hides and shows are
// counted (and, unlike the real one, not paired, so an unpaired call shows in the counts).
class FakeScreenPointer : public ScreenPointer
{
public:
    std::optional<QRect> screen = QRect(0, 0, 1280, 800);
    bool canWarp = true;
    QList<QPoint> warps;
    int hides = 0;
    int shows = 0;

    bool hidden() const { return hides > shows; }

    std::optional<QRect> primaryScreenGeometry() const override { return screen; }
    bool canWarpPointer() const override { return canWarp; }
    void warpPointer(QPoint position) override
    {
        if (canWarp)
            warps.append(position);
    }
    void hidePointer() override { ++hides; }
    void showPointer() override { ++shows; }
};
