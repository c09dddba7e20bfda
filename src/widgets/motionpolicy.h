// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEasingCurve>

// How the window's changes move: the two timings its views animate with, scaled by what the
// desktop asks. Read once by the application and handed to the views; a policy of factor 0 makes
// every change happen at once.
class MotionPolicy
{
public:
    enum class Timing {
        // A critically damped spring of response 0.2 s: it settles without overshoot.
        spring,
        // The short ease-in-out most changes take.
        standard,
    };

    // The spring runs until it is within a tenth of a percent of its rest.
    static constexpr int springMilliseconds = 300;
    static constexpr int standardMilliseconds = 300;
    static constexpr double springResponseSeconds = 0.2;

    explicit MotionPolicy(double durationFactor = 1.0);
    // What the desktop asks for now (GNOME's and KDE's settings).
    static MotionPolicy fromDesktop();
    // Nothing moves.
    static MotionPolicy still() { return MotionPolicy(0.0); }

    bool animates() const { return m_durationFactor > 0; }
    double durationFactor() const { return m_durationFactor; }
    // 0 when nothing moves.
    int duration(Timing timing) const;
    static QEasingCurve easing(Timing timing);

private:
    double m_durationFactor;
};
