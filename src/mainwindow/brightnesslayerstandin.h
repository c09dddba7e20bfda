// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// Stands beneath the low-resolution pattern where the extended-brightness view goes until it is
// built. It follows "lowResolutionScreenBrightness" but draws nothing: a screen without
// brightness headroom has nothing to add.
class BrightnessLayerStandIn : public QWidget
{
    Q_OBJECT

public:
    explicit BrightnessLayerStandIn(QWidget *parent = nullptr);

    float brightness() const { return m_brightness; }

private:
    float m_brightness = 1.0f;
};
