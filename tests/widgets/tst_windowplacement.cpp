// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/windowplacement.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTest>
#include <QWindow>

using namespace Qt::StringLiterals;

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void fitted_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("inside stays") << QRect(10, 20, 300, 200) << QRect(10, 20, 300, 200);
        QTest::newRow("below the edge moves up") << QRect(10, 400, 300, 200) << QRect(10, 300, 300, 200);
        QTest::newRow("left of the screen moves right") << QRect(-50, 20, 300, 200) << QRect(0, 20, 300, 200);
        QTest::newRow("taller than the screen shrinks") << QRect(10, 20, 300, 900) << QRect(10, 0, 300, 500);
        QTest::newRow("larger than the screen fills it") << QRect(-5, -5, 2000, 2000) << QRect(0, 0, 800, 500);
    }

    void fitted()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, fitted);
        QCOMPARE(WindowPlacement::fitted(frame, QRect(0, 0, 800, 500)), fitted);
        // Another screen's area is offset, not at the origin.
        QCOMPARE(WindowPlacement::fitted(frame.translated(1000, 100), QRect(1000, 100, 800, 500)),
            fitted.translated(1000, 100));
    }

    // A saved window comes back as it was saved, however many times, and a first one fits its screen.
    void restoreNeverDrifts()
    {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget first;
        WindowPlacement::restore(&first, {}, QSize(100000, 640));
        QVERIFY(available.contains(first.frameGeometry()));
        QCOMPARE(first.width(), available.width());

        QWidget window;
        window.setGeometry(40, 60, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QByteArray saved = window.saveGeometry();
        const QRect frame = window.frameGeometry();
        for (int run = 0; run < 3; ++run) {
            QWidget again;
            WindowPlacement::restore(&again, saved, QSize(960, 640));
            again.show();
            QVERIFY(QTest::qWaitForWindowExposed(&again));
            QCOMPARE(again.frameGeometry(), frame);
            saved = again.saveGeometry();
        }
        // Bytes that are not a saved geometry are a first start.
        QWidget garbage;
        WindowPlacement::restore(&garbage, "not a geometry", QSize(300, 200));
        QVERIFY(available.contains(garbage.frameGeometry()));
    }

    void settingsCentredOverItsWindow()
    {
        QWidget opener;
        opener.setGeometry(100, 100, 600, 400);
        opener.show();
        QVERIFY(QTest::qWaitForWindowExposed(&opener));
        QWidget settings;
        settings.resize(200, 100);
        WindowPlacement::centreOver(&settings, &opener);
        settings.show();
        // Within the rounding of two halves and the platform's frame.
        QTRY_VERIFY((settings.frameGeometry().center() - opener.frameGeometry().center()).manhattanLength() <= 4);
    }

    void panelKeptAboveItsOpener()
    {
        QWidget opener;
        opener.show();
        QWidget panel(nullptr, Qt::Tool);
        WindowPlacement::keepAbove(&panel, &opener);
        panel.show();
        QVERIFY(panel.windowHandle());
        QCOMPARE(panel.windowHandle()->transientParent(), opener.windowHandle());
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
