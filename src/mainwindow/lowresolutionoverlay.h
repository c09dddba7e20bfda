// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class Settings;

// The low-resolution emulation laid over the icon view: a brightness layer at the bottom (given
// by the window) and above it the pixel-gap pattern, multiplied onto whatever lies beneath. It
// never takes a click, so the icons stay usable. The pattern follows "lowResolutionOverlayColor".
class LowResolutionOverlay : public QWidget
{
    Q_OBJECT

public:
    explicit LowResolutionOverlay(const Settings &settings, QWidget *parent = nullptr);

    // The scale the pattern is drawn with: half the screen's resolution.
    static constexpr double patternScale = 0.5;

    // Puts `layer` beneath the pattern, filling the overlay (taken over as a child).
    void setBrightnessLayer(QWidget *layer);
    QWidget *brightnessLayer() const { return m_brightnessLayer; }

    // The colour and alpha the pattern draws its gaps with now.
    QColor gapColor() const;
    float gapAlpha() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<QWidget> m_brightnessLayer;
    QWidget *m_patternLayer = nullptr;
};
