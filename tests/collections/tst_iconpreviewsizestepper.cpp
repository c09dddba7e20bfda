// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconpreviewsizestepper.h"
#include "collections/iconpreviewsizestepperbutton.h"
#include "support/fakescreenpointer.h"
#include "support/settingsfixture.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The centre of the fake's screen, where a drag parks the pointer.
const QPointF centre = QPointF(QRect(0, 0, 1280, 800).center());

// Drives the stepper's number with mouse events, as a hand on the mouse would: after the pointer
// is parked, positions continue from the screen's centre where the pointer can be warped, and from
// where the drag was recognised where it cannot.
class Hand
{
public:
    Hand(IconPreviewSizeStepper &stepper, FakeScreenPointer &pointer)
        : m_number(stepper.findChild<QLabel *>())
        , m_pointer(pointer)
    { }

    void press(QPointF position)
    {
        m_position = position;
        send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    }
    // The motion that makes the press a drag: the pointer parks here.
    void recognise(qreal dx)
    {
        m_position += QPointF(dx, 0);
        m_recognisedAt = m_position;
        send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    }
    // Travel since the pointer was parked.
    void travel(qreal dx, Qt::KeyboardModifiers modifiers = {})
    {
        m_position = (m_pointer.canWarp ? centre : m_recognisedAt) + QPointF(dx, 0);
        send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, modifiers);
    }
    void moveTo(QPointF position, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        m_position = position;
        send(QEvent::MouseMove, Qt::NoButton, buttons);
    }
    void release() { send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton); }

    QPointF recognisedAt() const { return m_recognisedAt; }

private:
    void send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {})
    {
        QMouseEvent event(type, m_number->mapFromGlobal(m_position), m_position, button, buttons, modifiers);
        QCoreApplication::sendEvent(m_number, &event);
    }

    QLabel *m_number;
    FakeScreenPointer &m_pointer;
    QPointF m_position;
    QPointF m_recognisedAt;
};

} // namespace

class TestIconPreviewSizeStepper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_settings.isValid());
        QLocale::setDefault(QLocale(u"en_US"_s));
    }

    void init()
    {
        m_key.reset();
        m_pointer = std::make_shared<FakeScreenPointer>();
    }

    void buttons_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("plus");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<qint64>("expected");

        const Qt::KeyboardModifiers none;
        QTest::newRow("minus from a preset") << qint64(64) << false << none << qint64(32);
        QTest::newRow("plus from a preset") << qint64(64) << true << none << qint64(128);
        QTest::newRow("minus between presets") << qint64(40) << false << none << qint64(32);
        QTest::newRow("plus between presets") << qint64(40) << true << none << qint64(64);
        QTest::newRow("minus at the smallest") << qint64(16) << false << none << qint64(16);
        QTest::newRow("plus at the largest") << qint64(512) << true << none << qint64(512);
        QTest::newRow("minus below the range") << qint64(10) << false << none << qint64(16);
        QTest::newRow("plus above the range") << qint64(600) << true << none << qint64(512);
        QTest::newRow("Alt minus") << qint64(128) << false << Qt::KeyboardModifiers(Qt::AltModifier) << qint64(16);
        QTest::newRow("Alt plus") << qint64(40) << true << Qt::KeyboardModifiers(Qt::AltModifier) << qint64(512);
    }

    void buttons()
    {
        QFETCH(qint64, size);
        QFETCH(bool, plus);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(qint64, expected);
        m_key.write(size);
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        QTest::mouseClick(button(stepper, plus), Qt::LeftButton, modifiers);
        QCOMPARE(m_key.read(), expected);
        QCOMPARE(stepper.findChild<QLabel *>()->text(), QString::number(expected));
    }

    void creatingWritesNothing()
    {
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        QVERIFY(!rawSettings().contains(m_key.name()));
        QCOMPARE(stepper.findChild<QLabel *>()->text(), u"64"_s);
    }

    void typing_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");

        QTest::newRow("in range") << qint64(64) << u"200"_s << qint64(200);
        QTest::newRow("too small") << qint64(64) << u"5"_s << qint64(16);
        QTest::newRow("too large") << qint64(64) << u"9999"_s << qint64(512);
        QTest::newRow("too large at the largest") << qint64(512) << u"9999"_s << qint64(512);
        QTest::newRow("a thousand, no separator") << qint64(64) << u"1000"_s << qint64(512);
        QTest::newRow("grouped is no number") << qint64(100) << u"1,000"_s << qint64(100);
        QTest::newRow("letters keep the last value") << qint64(100) << u"abc"_s << qint64(100);
        QTest::newRow("letters keep it clamped") << qint64(600) << u"abc"_s << qint64(512);
    }

    void typing()
    {
        QFETCH(qint64, size);
        QFETCH(QString, text);
        QFETCH(qint64, expected);
        m_key.write(size);
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        auto *number = stepper.findChild<QLabel *>();
        QTest::mouseClick(number, Qt::LeftButton);
        QVERIFY(stepper.isEditing());
        auto *field = stepper.findChild<QLineEdit *>();
        QVERIFY(field->hasFocus() || !QGuiApplication::focusWindow());
        field->selectAll();
        QTest::keyClicks(field, text);
        QVERIFY(stepper.isEditing()); // only Return applies
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!stepper.isEditing());
        QCOMPARE(m_key.read(), expected);
        QCOMPARE(stepper.textFieldValue(), expected);
        QCOMPARE(number->text(), QString::number(expected));
    }

    void fieldFollowsOtherChanges()
    {
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        QTest::mouseClick(stepper.findChild<QLabel *>(), Qt::LeftButton);
        QTest::mouseClick(button(stepper, true), Qt::LeftButton);
        QCOMPARE(stepper.findChild<QLineEdit *>()->text(), u"128"_s);
        m_key.write(9000);
        QCOMPARE(stepper.textFieldValue(), 512);
        QCOMPARE(stepper.findChild<QLineEdit *>()->text(), u"512"_s);
    }

    void contextMenu_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("checked");

        QTest::newRow("a preset") << qint64(64) << u"64"_s;
        QTest::newRow("between presets") << qint64(40) << QString();
        QTest::newRow("outside the range") << qint64(600) << QString();
    }

    void contextMenu()
    {
        QFETCH(qint64, size);
        QFETCH(QString, checked);
        m_key.write(size);
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        QMenu *menu = openMenu(stepper);
        QStringList titles;
        QStringList checkedTitles;
        for (QAction *action : menu->actions()) {
            titles << action->text();
            if (action->isChecked())
                checkedTitles << action->text();
        }
        QCOMPARE(titles, (QStringList { u"16"_s, u"32"_s, u"64"_s, u"128"_s, u"256"_s, u"512"_s }));
        QCOMPARE(checkedTitles, checked.isEmpty() ? QStringList() : QStringList { checked });
        menu->close();

        // Rebuilt on every opening, so it shows a change made in between.
        m_key.write(256);
        menu = openMenu(stepper);
        QCOMPARE(menu->actions().at(4)->isChecked(), true);
        QCOMPARE(menu->actions().at(2)->isChecked(), false);
        menu->close();
    }

    void contextMenuChoice()
    {
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        QSignalSpy writes(m_key.notifier(), &SettingsKeyNotifier::changed);
        openMenu(stepper)->actions().at(2)->trigger(); // 64, the checked one
        QCOMPARE(writes.count(), 0);
        QCOMPARE(m_key.read(), 64);
        openMenu(stepper)->actions().at(0)->trigger();
        QCOMPARE(m_key.read(), 16);
        QCOMPARE(writes.count(), 1);
    }

    void disabledIgnoresInput()
    {
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        stepper.setEnabled(false);
        QTest::mouseClick(button(stepper, true), Qt::LeftButton);
        QTest::mouseClick(stepper.findChild<QLabel *>(), Qt::LeftButton);
        QVERIFY(!stepper.isEditing());
        Hand hand(stepper, *m_pointer);
        hand.press({ 100, 50 });
        hand.recognise(30);
        hand.travel(100);
        hand.release();
        QCOMPARE(m_pointer->hides, 0);
        QContextMenuEvent event(QContextMenuEvent::Mouse, { 5, 5 }, stepper.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(&stepper, &event);
        QVERIFY(!stepper.findChild<QMenu *>()->isVisible());
        QCOMPARE(m_key.read(), 64);
    }

    void clickWithoutMovingEdits()
    {
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        Hand hand(stepper, *m_pointer);
        hand.press({ 100, 50 });
        hand.moveTo({ 106, 53 }); // under the drag distance
        hand.release();
        QVERIFY(stepper.isEditing());
        QCOMPARE(m_pointer->hides, 0);
        QCOMPARE(m_key.read(), 64);
    }

    void drag_data()
    {
        QTest::addColumn<bool>("canWarp");
        QTest::newRow("pointer warps (X11)") << true;
        QTest::newRow("pointer stays (Wayland)") << false;
    }

    void drag()
    {
        QFETCH(bool, canWarp);
        m_pointer->canWarp = canWarp;
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        Hand hand(stepper, *m_pointer);
        hand.press({ 100, 50 });
        hand.recognise(10);
        // The first motion parks the pointer and changes nothing.
        QVERIFY(stepper.isDragging());
        QCOMPARE(m_key.read(), 64);
        QCOMPARE(m_pointer->hides, 1);
        QCOMPARE(m_pointer->warps, canWarp ? QList<QPoint> { centre.toPoint() } : QList<QPoint>());

        hand.travel(90); // 100 points from the press
        QCOMPARE(m_key.read(), 164);
        hand.travel(1000);
        QCOMPARE(m_key.read(), 512);
        hand.travel(-40);
        QCOMPARE(m_key.read(), 34);
        hand.travel(-200);
        QCOMPARE(m_key.read(), 16);
        const qsizetype warps = m_pointer->warps.size();
        // Further past the end, the pointer is held where the size pinned.
        hand.travel(-260);
        QCOMPARE(m_key.read(), 16);
        if (canWarp) {
            QCOMPARE(m_pointer->warps.size(), warps + 1);
            QCOMPARE(m_pointer->warps.last(), (centre + QPointF(-200, 0)).toPoint());
        }
        // The travel past the held place is forgotten: with the pointer warped back the hand starts
        // again from there, without a warp the drag's reckoning does the same.
        hand.travel(50);
        QCOMPARE(m_key.read(), canWarp ? 64 + 10 + 50 : 64 + 10 + 50 + 60);

        hand.release();
        QVERIFY(!stepper.isDragging());
        QCOMPARE(m_pointer->shows, 1);
        if (canWarp)
            QCOMPARE(m_pointer->warps.last(), hand.recognisedAt().toPoint());
        // The next step starts from where the drag left the size.
        QCOMPARE(stepper.findChild<QLabel *>()->text(), QString::number(m_key.read()));
        QTest::mouseClick(button(stepper, false), Qt::LeftButton);
        QCOMPARE(m_key.read(), canWarp ? 64 : 128);
    }

    void holdAtTheLargest()
    {
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        Hand hand(stepper, *m_pointer);
        hand.press({ 100, 50 });
        hand.recognise(10);
        hand.travel(500); // pins at 512 and records the place
        QCOMPARE(m_key.read(), 512);
        const qsizetype warps = m_pointer->warps.size();
        hand.travel(520); // beyond the record: held, and the record cleared
        QCOMPARE(m_pointer->warps.size(), warps + 1);
        QCOMPARE(m_pointer->warps.last(), (centre + QPointF(500, 0)).toPoint());
        hand.travel(510); // no record now: nothing held
        QCOMPARE(m_pointer->warps.size(), warps + 1);
        QCOMPARE(m_key.read(), 512);
        hand.release();
    }

    void altSteps_data()
    {
        QTest::addColumn<bool>("canWarp");
        QTest::newRow("pointer warps (X11)") << true;
        QTest::newRow("pointer stays (Wayland)") << false;
    }

    void altSteps()
    {
        QFETCH(bool, canWarp);
        m_pointer->canWarp = canWarp;
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        Hand hand(stepper, *m_pointer);
        hand.press({ 100, 50 });
        // A fast first motion: the drag is recognised far past its threshold.
        hand.recognise(80);
        hand.travel(5, Qt::AltModifier);
        QCOMPARE(m_key.read(), 64);
        hand.travel(40, Qt::AltModifier);
        QCOMPARE(m_key.read(), 64);
        const qsizetype warps = m_pointer->warps.size();
        hand.travel(41, Qt::AltModifier);
        QCOMPARE(m_key.read(), 128);
        if (canWarp) {
            QCOMPARE(m_pointer->warps.size(), warps + 1);
            QCOMPARE(m_pointer->warps.last(), centre.toPoint());
        }
        // Parked again: small motions from the new park point step no further.
        if (canWarp)
            hand.travel(3, Qt::AltModifier);
        else
            hand.travel(44, Qt::AltModifier);
        QCOMPARE(m_key.read(), 128);
        if (canWarp)
            hand.travel(-45, Qt::AltModifier);
        else
            hand.travel(41 - 45, Qt::AltModifier);
        QCOMPARE(m_key.read(), 64);
        hand.release();
    }

    void feedback()
    {
        m_key.write(40);
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        QSignalSpy feedback(&stepper, &IconPreviewSizeStepper::levelFeedback);
        Hand hand(stepper, *m_pointer);
        hand.press({ 100, 50 });
        hand.recognise(10);
        hand.travel(0); // 50
        hand.travel(4); // 54
        QCOMPARE(feedback.count(), 0);
        hand.travel(14); // 64
        QCOMPARE(feedback.count(), 1);
        hand.travel(14); // still 64
        hand.travel(15); // 65
        QCOMPARE(feedback.count(), 1);
        hand.travel(14); // 64 again
        QCOMPARE(feedback.count(), 2);
        hand.release();
        QCOMPARE(feedback.count(), 2);
    }

    void dragEnds_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : { "release", "release elsewhere", "disabled", "hidden", "window closed",
                 "window deactivated", "grab lost", "context menu", "destroyed" })
            QTest::newRow(how) << QString::fromLatin1(how);
    }

    void dragEnds()
    {
        QFETCH(QString, how);
        QWidget window;
        auto *stepper = new IconPreviewSizeStepper(m_key, m_pointer, &window);
        window.show();
        Hand hand(*stepper, *m_pointer);
        hand.press({ 100, 50 });
        hand.recognise(10);
        hand.travel(30);
        QVERIFY(m_pointer->hidden());

        if (how == "release"_L1) {
            hand.release();
        } else if (how == "release elsewhere"_L1) {
            hand.moveTo(centre + QPointF(40, 0), Qt::NoButton);
        } else if (how == "disabled"_L1) {
            stepper->setEnabled(false);
        } else if (how == "hidden"_L1) {
            stepper->hide();
        } else if (how == "window closed"_L1) {
            window.close();
        } else if (how == "window deactivated"_L1) {
            QEvent event(QEvent::ActivationChange);
            QCoreApplication::sendEvent(stepper, &event);
        } else if (how == "grab lost"_L1) {
            QEvent event(QEvent::UngrabMouse);
            QCoreApplication::sendEvent(stepper->findChild<QLabel *>(), &event);
        } else if (how == "context menu"_L1) {
            openMenu(*stepper)->close();
        } else if (how == "destroyed"_L1) {
            delete stepper;
            stepper = nullptr;
        }

        QCOMPARE(m_pointer->hides, 1);
        QCOMPARE(m_pointer->shows, 1);
        QCOMPARE(m_pointer->warps.last(), hand.recognisedAt().toPoint());
        QCOMPARE(m_key.read(), 64 + 10 + 30);
        if (stepper) {
            QVERIFY(!stepper->isDragging());
            // The drag's state is gone: later motions of the same press do nothing.
            hand.travel(100);
            QCOMPARE(m_key.read(), 64 + 10 + 30);
            QCOMPARE(m_pointer->hides, 1);
        }
    }

    void dragWithoutScreen()
    {
        m_pointer->screen.reset();
        IconPreviewSizeStepper stepper(m_key, m_pointer);
        stepper.show();
        Hand hand(stepper, *m_pointer);
        hand.press({ 100, 50 });
        hand.recognise(10);
        hand.moveTo({ 300, 50 });
        QVERIFY(stepper.isDragging());
        QCOMPARE(m_key.read(), 64);
        hand.release();
        QVERIFY(!stepper.isDragging());
        QVERIFY(!stepper.isEditing());
        // Nothing was hidden, so nothing is shown: no one else's cursor is popped.
        QCOMPARE(m_pointer->hides, 0);
        QCOMPARE(m_pointer->shows, 0);
        QVERIFY(m_pointer->warps.isEmpty());
    }

private:
    static IconPreviewSizeStepperButton *button(IconPreviewSizeStepper &stepper, bool plus)
    {
        const auto buttons = stepper.findChildren<IconPreviewSizeStepperButton *>();
        for (IconPreviewSizeStepperButton *candidate : buttons) {
            if (candidate->text().startsWith(plus ? "Increment"_L1 : "Decrement"_L1))
                return candidate;
        }
        return nullptr;
    }

    static QMenu *openMenu(IconPreviewSizeStepper &stepper)
    {
        const QPoint inside(stepper.width() / 2, stepper.height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, inside, stepper.mapToGlobal(inside));
        QCoreApplication::sendEvent(&stepper, &event);
        return stepper.findChild<QMenu *>();
    }

    static QSettings rawSettings() { return QSettings(u"Glimbar"_s, u"Glimbar"_s); }

    SettingsFixture m_settings;
    SettingsKey<qint64> m_key { m_settings.store(), u"iconPreviewSize"_s, 64 };
    std::shared_ptr<FakeScreenPointer> m_pointer;
};

QTEST_MAIN(TestIconPreviewSizeStepper)
#include "tst_iconpreviewsizestepper.moc"
