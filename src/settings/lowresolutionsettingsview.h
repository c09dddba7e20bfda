// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class ColorButton;
class QPushButton;
class Settings;

// The Low-Resolution tab: the colour of the pixel gaps the emulation draws over the icon view,
// written live while the user picks it, and a reset to the default colour.
class LowResolutionSettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit LowResolutionSettingsView(const Settings &settings, QWidget *parent = nullptr);

    ColorButton *pixelGapsButton() const { return m_pixelGaps; }
    QPushButton *resetButton() const { return m_reset; }

private:
    ColorButton *m_pixelGaps;
    QPushButton *m_reset;
};
