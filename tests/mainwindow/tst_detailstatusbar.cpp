// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconpreviewsizestepper.h"
#include "library/settings.h"
#include "mainwindow/detailstatusbar.h"
#include "mainwindow/lowresolutionoverlay.h"
#include "mainwindow/statusbartoggle.h"
#include "support/libraryfixture.h"
#include "support/settingsfixture.h"
#include "widgets/lowresolutionpattern.h"
#include "widgets/motionanimation.h"

#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDetailStatusBar : public QObject
{
    Q_OBJECT

private:
    LibraryFixture m_fixture;
    SettingsFixture m_settings;

private slots:
    void init()
    {
        m_settings.settings().emulateLowResolution().reset();
        m_settings.settings().lowResolutionOverlayColor().reset();
    }

    void toggleFollowsSettingAndSelection()
    {
        DetailStatusBar bar(m_settings.settings(), new IconPreviewSizeStepper(m_settings.settings()));
        StatusBarToggle *toggle = bar.emulationToggle();
        QCOMPARE(toggle->toolTip(), u"Emulate Low-Resoltion"_s);
        QCOMPARE(toggle->symbol(), u"squareshape.split.2x2.dotted"_s);
        QVERIFY(!bar.isEnabled() && !toggle->isEnabled() && toggle->toggleStyle().disabled);
        QVERIFY(!bar.stepper()->isEnabled());

        bar.setContainerSelected(true);
        QVERIFY(bar.isEnabled() && toggle->isEnabled() && !toggle->toggleStyle().disabled);
        toggle->click();
        QCOMPARE(m_settings.settings().emulateLowResolution().read(), true);
        // A change made elsewhere (the View menu) moves the toggle.
        m_settings.settings().emulateLowResolution().write(false);
        QVERIFY(!toggle->isChecked());
    }

    void toggleCrossFadesWhicheverWayItFlips_data()
    {
        QTest::addColumn<bool>("byClick");
        QTest::newRow("click") << true;
        QTest::newRow("setting written elsewhere") << false;
    }

    void toggleCrossFadesWhicheverWayItFlips()
    {
        QFETCH(bool, byClick);
        DetailStatusBar bar(m_settings.settings(), new IconPreviewSizeStepper(m_settings.settings()));
        bar.setMotionPolicy(MotionPolicy());
        bar.setContainerSelected(true);
        StatusBarToggle *toggle = bar.emulationToggle();
        toggle->resize(toggle->sizeHint());
        // Inside the outline, where the on state lays its fill.
        const QPoint inside(3, toggle->height() / 2);
        const QColor off = toggle->grab().toImage().pixelColor(inside);
        if (byClick)
            toggle->click();
        else
            m_settings.settings().emulateLowResolution().write(true);
        auto *fade = toggle->findChild<MotionAnimation *>(u"toggleAnimation"_s);
        QVERIFY(fade->isMoving());
        QCOMPARE(fade->duration(), MotionPolicy::standardMilliseconds);
        fade->pause();
        fade->setCurrentTime(fade->duration() / 2);
        const QColor midway = toggle->grab().toImage().pixelColor(inside);
        fade->setCurrentTime(fade->duration());
        const QColor on = toggle->grab().toImage().pixelColor(inside);
        QVERIFY(on != off);
        QVERIFY(midway != on && midway != off);
        QVERIFY(qAbs(midway.alpha() - (on.alpha() + off.alpha()) / 2) <= 4);

        // Asked for no animations, it flips at once.
        toggle->setMotionPolicy(MotionPolicy::still());
        toggle->click();
        QVERIFY(!fade->isMoving());
        QCOMPARE(toggle->grab().toImage().pixelColor(inside), off);
    }

    void patternMultipliesGaps()
    {
        const QColor gap = QColor::fromRgbF(0.2f, 0.4f, 0.6f);
        const QImage tile = LowResolutionPattern::tile(0.5, gap, 0.5f);
        QCOMPARE(tile.size(), QSize(2, 2));
        QCOMPARE(tile.pixel(0, 0), qRgb(255, 255, 255));
        const QColor half = LowResolutionPattern::gapOverWhite(gap, 0.5f);
        QCOMPARE(tile.pixel(1, 0), half.rgb());
        QCOMPARE(tile.pixel(0, 1), half.rgb());
        QVERIFY(qAbs(half.redF() - 0.6f) < 0.01f && qAbs(half.blueF() - 0.8f) < 0.01f);
        QVERIFY(LowResolutionPattern::tile(0, gap, 1).isNull());
        QVERIFY(LowResolutionPattern::tile(2, gap, 1).isNull());
    }

    // Over an opaque grey: the inside of each emulated pixel stays, its gaps are multiplied.
    void overlayDrawsOverTheIconsAndLetsClicksThrough()
    {
        m_settings.settings().lowResolutionOverlayColor().write(HSBColor { 0, 0, 0, 1 }); // black gaps
        QWidget window;
        window.resize(40, 40);
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor(128, 128, 128));
        window.setPalette(palette);
        auto *button = new QPushButton(&window);
        button->setGeometry(0, 0, 40, 40);
        button->setFlat(true);
        auto *overlay = new LowResolutionOverlay(m_settings.settings(), &window);
        overlay->setGeometry(window.rect());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(window.childAt(20, 20), button);
        const QImage shot = window.grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        const int pixel = int(2 * ratio) * 10; // the start of an emulated pixel, away from the edges
        QVERIFY(qAbs(shot.pixelColor(pixel, pixel).red() - 128) <= 2);
        QCOMPARE(shot.pixelColor(pixel + 1, pixel).red(), 0);
        QCOMPARE(shot.pixelColor(pixel, pixel + 1).red(), 0);
    }
};

QTEST_MAIN(TestDetailStatusBar)
#include "tst_detailstatusbar.moc"
