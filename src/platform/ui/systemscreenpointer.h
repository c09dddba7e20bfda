// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/screenpointer.h"

// The session's real screen and pointer. Warping works on X11 only; on Wayland and the other
// platforms the pointer stays where the user puts it. Hiding pushes a blank override cursor and
// showing removes it again, but only while it is still the one on top, so a cursor someone else
// set in between is never taken away.
class SystemScreenPointer : public ScreenPointer
{
public:
    SystemScreenPointer() = default;
    ~SystemScreenPointer() override;

    std::optional<QRect> primaryScreenGeometry() const override;
    bool canWarpPointer() const override;
    void warpPointer(QPoint position) override;
    void hidePointer() override;
    void showPointer() override;

private:
    bool m_hidden = false;
};
