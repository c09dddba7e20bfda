// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/glimbarapp.h"
#include "mainwindow/contentview.h"

#include <QStandardPaths>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void windowOpensAndCloses()
    {
        GlimbarApp app;
        ContentView *window = app.openMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->windowTitle(), QStringLiteral("Glimbar"));
        QVERIFY(window->close());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
