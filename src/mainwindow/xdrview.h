// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/settings/settingskey.h"

#include <QColor>
#include <QWidget>

#include <optional>

// The brightening layer of the low-resolution emulation: a uniform layer, white adjusted by
// contrast and brightness, multiplied with the content beneath it. It fills its parent, takes no
// mouse events and draws nothing else.
//
// Qt's widgets draw in standard range only, so the layer's value is clamped to 0…1: brightness
// above 0 (white and more) leaves the content as it is, brightness below 0 darkens it. The frame
// rate is kept for the layer's clock; since Qt keeps the last frame, a frame is drawn only when
// something changed (setup, a new size, an expose), never at the frame rate while nothing does.
class XDRView : public QWidget
{
    Q_OBJECT

public:
    // The frame rate the view uses when none is given and there is no screen.
    static constexpr int fallbackFramesPerSecond = 120;

    XDRView(const QRect &frame, float contrast, float brightness, std::optional<int> preferredFramesPerSecond,
        QWidget *parent = nullptr);

    // A view over `parent` that follows the brightness setting, without ever being recreated:
    // contrast 1, the key's brightness, the screen's frame rate.
    static XDRView *overlay(const SettingsKey<float> &brightness, QWidget *parent);

    float contrast() const { return m_contrast; }
    void setContrast(float contrast) { m_contrast = contrast; }
    float brightness() const { return m_brightness; }
    void setBrightness(float brightness) { m_brightness = brightness; }
    int preferredFramesPerSecond() const { return m_preferredFramesPerSecond; }

    // Rebuilds what the view draws from contrast and brightness and re-reads the frame rate (the
    // given one, else the screen's maximum, else 120); then one frame is drawn.
    void setup(std::optional<int> preferredFramesPerSecond = std::nullopt);

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
    int m_preferredFramesPerSecond = fallbackFramesPerSecond;
    QColor m_layerColor = Qt::white;
};
