// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include <QMainWindow>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void windowOpensAndCloses()
    {
        auto window = createMainWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->windowTitle(), QStringLiteral("Glimbar"));
        QVERIFY(window->close());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
