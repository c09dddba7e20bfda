// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class MotionPolicy;
class QProgressBar;
class Settings;
class StatusBarToggle;

// The bar below the icons of a main window: the preview-size stepper and the low-resolution
// emulation toggle at its right, on a thin material under a hairline. The toggle follows and
// writes "emulateLowResoltion". With no container selected the whole bar, toggle included, is
// disabled and dimmed. At its left, while the library's disk work takes a while, an indicator that
// moves without measuring anything.
class DetailStatusBar : public QWidget
{
    Q_OBJECT

public:
    // `stepper` is taken over as a child.
    DetailStatusBar(const Settings &settings, QWidget *stepper, QWidget *parent = nullptr);

    static constexpr int padding = 6;

    StatusBarToggle *emulationToggle() const { return m_toggle; }
    QWidget *stepper() const { return m_stepper; }

    void setMotionPolicy(const MotionPolicy &policy);
    void setContainerSelected(bool selected);
    void setBusy(bool busy);
    QProgressBar *busyIndicator() const { return m_busyIndicator; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void followEmulationSetting();

    const Settings &m_settings;
    QWidget *m_stepper;
    StatusBarToggle *m_toggle;
    QProgressBar *m_busyIndicator;
};
