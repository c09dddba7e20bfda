// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/errorobserver.h"

#include "library/containermanager.h"
#include "support/standardoutputcapture.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestWindowObservers : public QObject
{
    Q_OBJECT

private:
    ContainerManager m_manager;

private slots:
    // Every write prints, so a second failure in a row is not lost.
    void errorObserverPrintsEveryWrite()
    {
        m_manager.setError(std::nullopt);
        ErrorObserver observer(m_manager);
        StandardOutputCapture output;
        m_manager.setError(ContainerError::writeContainerFailed);
        m_manager.setError(ContainerError::downloadFailed);
        m_manager.setError(ContainerError::downloadFailed);
        m_manager.setError(std::nullopt);
        QCOMPARE(output.takeLines(),
            QStringList({ errorDescription(ContainerError::writeContainerFailed),
                errorDescription(ContainerError::downloadFailed), errorDescription(ContainerError::downloadFailed),
                ErrorObserver::noErrorLine() }));
    }
};

QTEST_MAIN(TestWindowObservers)
#include "tst_windowobservers.moc"
