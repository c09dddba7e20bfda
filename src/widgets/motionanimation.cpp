// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/motionanimation.h"

MotionAnimation::MotionAnimation(MotionPolicy::Timing timing, const QVariant &value, QObject *parent)
    : QVariantAnimation(parent)
    , m_timing(timing)
    , m_value(value)
    , m_target(value)
{
    setEasingCurve(MotionPolicy::easing(timing));
}

void MotionAnimation::moveTo(const QVariant &target)
{
    if (target == m_target)
        return;
    m_target = target;
    const int duration = m_policy.duration(m_timing);
    if (duration <= 0) {
        jumpTo(target);
        return;
    }
    stop();
    setDuration(duration);
    setStartValue(m_value);
    setEndValue(target);
    start();
}

void MotionAnimation::jumpTo(const QVariant &value)
{
    stop();
    m_target = value;
    m_value = value;
    Q_EMIT changed(value);
}

void MotionAnimation::updateCurrentValue(const QVariant &value)
{
    // Qt interpolates once when the end points are set, before the move has started.
    if (state() == QAbstractAnimation::Stopped)
        return;
    m_value = value;
    Q_EMIT changed(value);
}
