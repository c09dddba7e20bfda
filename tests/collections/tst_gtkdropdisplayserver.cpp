// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>
class TestGtkDropDisplayServer : public QObject
{
    Q_OBJECT
};
QTEST_GUILESS_MAIN(TestGtkDropDisplayServer)
#include "tst_gtkdropdisplayserver.moc"
