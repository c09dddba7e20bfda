// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/crossfade.h"
#include "widgets/motionanimation.h"
#include "widgets/motionpolicy.h"

#include <QSignalSpy>
#include <QTest>

class TestMotionAnimation : public QObject
{
    Q_OBJECT

private slots:
    void curvesRunWithoutOvershoot_data()
    {
        QTest::addColumn<MotionPolicy::Timing>("timing");
        QTest::newRow("spring") << MotionPolicy::Timing::spring;
        QTest::newRow("standard") << MotionPolicy::Timing::standard;
    }

    void curvesRunWithoutOvershoot()
    {
        QFETCH(MotionPolicy::Timing, timing);
        const QEasingCurve curve = MotionPolicy::easing(timing);
        QCOMPARE(curve.valueForProgress(0), 0.0);
        QCOMPARE(curve.valueForProgress(1), 1.0);
        qreal last = 0;
        for (int step = 1; step <= 100; ++step) {
            const qreal value = curve.valueForProgress(step / 100.0);
            QVERIFY2(value >= last - 1e-9 && value <= 1.0 + 1e-9, qPrintable(QString::number(step)));
            last = value;
        }
    }

    void springMatchesItsResponse()
    {
        // A critically damped spring of response 0.2 s is 1 − (1 + ωt)e^(−ωt) of the way after t.
        const QEasingCurve curve = MotionPolicy::easing(MotionPolicy::Timing::spring);
        const double progress = 0.05 / (MotionPolicy::springMilliseconds / 1000.0);
        QVERIFY(qAbs(curve.valueForProgress(progress) - 0.466) < 0.002);
        // Three quarters of the way it is all but at rest, as a settled spring is.
        QVERIFY(curve.valueForProgress(0.75) > 0.99);
    }

    void movesFromWhereItIs()
    {
        MotionAnimation animation(MotionPolicy::Timing::spring, 0.0);
        animation.setPolicy(MotionPolicy());
        QSignalSpy changed(&animation, &MotionAnimation::changed);
        animation.moveTo(1.0);
        QVERIFY(animation.isMoving());
        animation.pause();
        animation.setCurrentTime(MotionPolicy::springMilliseconds / 4);
        const double midway = animation.value().toDouble();
        QVERIFY(midway > 0.2 && midway < 0.9);
        QCOMPARE(changed.last().first().toDouble(), midway);

        // Turning back starts where it stands, not at either end.
        animation.moveTo(0.0);
        animation.pause();
        animation.setCurrentTime(1);
        QVERIFY(qAbs(animation.value().toDouble() - midway) < 0.05);
        animation.setCurrentTime(animation.duration());
        QCOMPARE(animation.value().toDouble(), 0.0);
        QVERIFY(!animation.isMoving());
    }

    void stillPolicyJumps_data()
    {
        QTest::addColumn<double>("factor");
        QTest::newRow("still") << 0.0;
        QTest::newRow("negative") << -1.0;
        QTest::newRow("not a number") << std::nan("");
    }

    void stillPolicyJumps()
    {
        QFETCH(double, factor);
        const MotionPolicy policy(factor);
        QVERIFY(!policy.animates());
        QCOMPARE(policy.duration(MotionPolicy::Timing::standard), 0);
        MotionAnimation animation(MotionPolicy::Timing::standard, 0.0);
        animation.setPolicy(policy);
        QSignalSpy changed(&animation, &MotionAnimation::changed);
        animation.moveTo(1.0);
        QVERIFY(!animation.isMoving());
        QCOMPARE(animation.value().toDouble(), 1.0);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().toDouble(), 1.0);
    }

    void desktopFactorScalesDurations()
    {
        QCOMPARE(MotionPolicy(0.5).duration(MotionPolicy::Timing::standard), MotionPolicy::standardMilliseconds / 2);
        // A factor that would freeze the window for hours is held to ten times the timing.
        QCOMPARE(MotionPolicy(1e9).duration(MotionPolicy::Timing::spring), 10 * MotionPolicy::springMilliseconds);
    }

    void crossFadeKeepsWhatBothShare()
    {
        QPixmap red(4, 4);
        red.fill(QColor(255, 0, 0, 128));
        QPixmap blue(4, 4);
        blue.fill(QColor(0, 0, 255, 128));
        const QImage mixed = CrossFade::mix(red, blue, 0.5).toImage();
        const QColor middle = mixed.pixelColor(1, 1);
        // Alpha both share does not dip, and each colour is half there.
        QVERIFY(qAbs(middle.alpha() - 128) <= 2);
        QVERIFY(qAbs(middle.red() - middle.blue()) <= 4 && middle.red() > 100);
        QCOMPARE(CrossFade::mix(red, blue, 0).toImage(), red.toImage());
        QCOMPARE(CrossFade::mix(red, blue, 1).toImage(), blue.toImage());
    }
};

QTEST_MAIN(TestMotionAnimation)
#include "tst_motionanimation.moc"
