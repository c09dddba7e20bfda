// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/motionpolicy.h"

#include "platform/desktop/desktopanimations.h"

#include <QPointF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A critically damped spring released from 0 towards 1: x(t) = 1 − (1 + ωt)·e^(−ωt), ω = 2π / response.
double springPosition(double seconds)
{
    const double omega = 2 * std::numbers::pi / MotionPolicy::springResponseSeconds;
    return 1 - (1 + omega * seconds) * std::exp(-omega * seconds);
}

// Scaled so the curve ends exactly at rest; the spring's position only ever grows, so it never overshoots.
qreal springCurve(qreal progress)
{
    const double total = MotionPolicy::springMilliseconds / 1000.0;
    return springPosition(progress * total) / springPosition(total);
}

} // namespace

MotionPolicy::MotionPolicy(double durationFactor)
    : m_durationFactor(std::isfinite(durationFactor) && durationFactor > 0 ? durationFactor : 0.0)
{ }

MotionPolicy MotionPolicy::fromDesktop()
{
    return MotionPolicy(DesktopAnimations::durationFactor());
}

int MotionPolicy::duration(Timing timing) const
{
    const int base = timing == Timing::spring ? springMilliseconds : standardMilliseconds;
    // A factor so large it would freeze the window is the desktop's slowest, not ours.
    return int(std::lround(std::min(base * m_durationFactor, 10.0 * base)));
}

QEasingCurve MotionPolicy::easing(Timing timing)
{
    QEasingCurve curve;
    if (timing == Timing::spring) {
        curve.setCustomType(springCurve);
    } else {
        curve.setType(QEasingCurve::BezierSpline);
        curve.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
    }
    return curve;
}
