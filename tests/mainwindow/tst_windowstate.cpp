// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/settings.h"
#include "mainwindow/commandmanager.h"
#include "mainwindow/contentview.h"
#include "mainwindow/mainsplitview.h"
#include "support/appservices.h"

#include <QScreen>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// A main window opens as the one closed last stood, within the screen's available area.
class TestWindowState : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_services.settings.mainWindowGeometry().reset();
        m_services.settings.sidebarWidth().reset();
    }

    void cleanup() { m_services.library.setContainers({}); }

    void sizeAndSidebarCarryOver()
    {
        const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
        const QSize size = available - QSize(120, 90);
        // Deletes itself on closing.
        auto *first = new ContentView(
            m_commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        first->show();
        QVERIFY(QTest::qWaitForWindowExposed(first));
        first->resize(size);
        first->splitView()->setSizes({ 260, size.width() - 260 });
        QVERIFY(first->close());

        ContentView second(
            m_commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QCOMPARE(second.size(), size);
        QCOMPARE(second.splitView()->sizes().constFirst(), 260);
    }

    void neverLargerThanTheScreen_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::newRow("first launch") << false;
        QTest::newRow("saved on a larger screen") << true;
    }

    void neverLargerThanTheScreen()
    {
        QFETCH(bool, stored);
        const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
        if (stored) {
            auto *large = new ContentView(
                m_commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
            large->resize(available * 2);
            large->show();
            QVERIFY(large->close());
        } else {
            // The first size, unless the screen is larger than it.
            QVERIFY2(available.width() < 960 || available.height() < 640, "the test screen is too large");
        }
        ContentView window(
            m_commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.width() <= available.width());
        QVERIFY(window.height() <= available.height());
    }

private:
    AppServices m_services;
    CommandManager m_commands;
};

QTEST_MAIN(TestWindowState)
#include "tst_windowstate.moc"
