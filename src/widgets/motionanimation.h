// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/motionpolicy.h"

#include <QVariantAnimation>

// One value a view draws or lays out with, moved along a MotionPolicy timing. A move starts from
// wherever the value is now, so a change that interrupts another never jumps. Under a policy that
// moves nothing the value takes its target at once.
// Guarantees: changed() is emitted for every new value the view should show, the target included,
// also for a move made at once, and never for the interpolations Qt makes while no move runs;
// value() is the value shown now. Tests drive a move with setCurrentTime().
class MotionAnimation : public QVariantAnimation
{
    Q_OBJECT

public:
    MotionAnimation(MotionPolicy::Timing timing, const QVariant &value, QObject *parent = nullptr);

    void setPolicy(const MotionPolicy &policy) { m_policy = policy; }
    const MotionPolicy &policy() const { return m_policy; }

    const QVariant &value() const { return m_value; }
    const QVariant &target() const { return m_target; }
    bool isMoving() const { return state() == QAbstractAnimation::Running; }

    // Moves towards `target`; nothing happens when it is the target already.
    void moveTo(const QVariant &target);
    // Takes `value` at once, ending any move.
    void jumpTo(const QVariant &value);

Q_SIGNALS:
    void changed(const QVariant &value);

protected:
    void updateCurrentValue(const QVariant &value) override;

private:
    MotionPolicy::Timing m_timing;
    MotionPolicy m_policy = MotionPolicy::still();
    QVariant m_value;
    QVariant m_target;
};
