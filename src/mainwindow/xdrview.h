// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/settings/settingskey.h"

#include <QColor>
#include <QWidget>

// A plain widget, not a view over a model or a scene, whatever its name says.
// The brightening layer of the low-resolution emulation: a uniform layer, white adjusted by
// contrast and brightness, multiplied with the content beneath it. It fills its parent, takes no
// mouse events and draws nothing else.
//
// Qt's widgets draw in standard range only, so the layer's value is clamped to 0…1: brightness
// above 0 (white and more) leaves the content as it is, brightness below 0 darkens it. Since Qt
// keeps the last frame, a frame is drawn only when something changed (setup, a new size, an
// expose), never at a frame rate while nothing does.
class XDRView : public QWidget
{
    Q_OBJECT

public:
    XDRView(const QRect &frame, float contrast, float brightness, QWidget *parent = nullptr);

    // A view over `parent` that follows the brightness setting, without ever being recreated:
    // contrast 1 and the key's brightness.
    static XDRView *overlay(const SettingsKey<float> &brightness, QWidget *parent);

    float contrast() const { return m_contrast; }
    float brightness() const { return m_brightness; }
    void setBrightness(float brightness) { m_brightness = brightness; }

    // Rebuilds what the view draws from contrast and brightness; then one frame is drawn.
    void setup();

    // The colour the layer multiplies with: white after the colour controls, in standard range.
    QColor layerColor() const { return m_layerColor; }
    static QColor layerColor(float contrast, float brightness);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillParent();

    float m_contrast;
    float m_brightness;
    QColor m_layerColor = Qt::white;
};
