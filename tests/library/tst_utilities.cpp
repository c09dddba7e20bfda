// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/utilities.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QUuid alphaID = QUuid(0xa, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
const QUuid betaID = QUuid(0xb, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
const QUuid gammaID = QUuid(0xc, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
const QUuid staleID = QUuid(0xdead, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);

QSet<QUuid> setOf(const QList<QUuid> &ids)
{
    return QSet<QUuid>(ids.cbegin(), ids.cend());
}

QStringList titlesOf(const QList<IconContainer> &containers)
{
    QStringList titles;
    for (const IconContainer &container : containers)
        titles.append(container.title);
    return titles;
}

} // namespace

class TestUtilities : public QObject
{
    Q_OBJECT

    ContainerManager m_library;

private slots:
    void init()
    {
        // "Alpha again" shares Alpha's identifier and comes later in library order.
        m_library.setContainers({
            IconContainer { .id = betaID, .title = u"Beta"_s },
            IconContainer { .id = alphaID, .title = u"Alpha"_s },
            IconContainer { .id = gammaID, .title = u"Gamma"_s },
            IconContainer { .id = alphaID, .title = u"Alpha again"_s },
        });
    }

    void selectedContainer_data()
    {
        QTest::addColumn<QList<QUuid>>("selection");
        QTest::addColumn<QString>("expected"); // empty: nothing

        QTest::newRow("empty") << QList<QUuid>() << QString();
        QTest::newRow("two that both name containers") << QList { alphaID, betaID } << QString();
        QTest::newRow("one that names no container") << QList { staleID } << QString();
        QTest::newRow("one") << QList { gammaID } << u"Gamma"_s;
        QTest::newRow("shared identifier: the earlier") << QList { alphaID } << u"Alpha"_s;
    }

    void selectedContainer()
    {
        QFETCH(QList<QUuid>, selection);
        QFETCH(QString, expected);
        const std::optional<IconContainer> container = Utilities::selectedContainer(m_library, setOf(selection));
        QCOMPARE(container ? container->title : QString(), expected);
    }

    void selectedContainerIsACopy()
    {
        std::optional<IconContainer> container = Utilities::selectedContainer(m_library, { betaID });
        QVERIFY(container);
        container->title = u"Changed"_s;
        container->icons.append(Icon());
        QCOMPARE(m_library.containers().first().title, u"Beta"_s);
        QVERIFY(m_library.containers().first().icons.isEmpty());
    }

    void selectedContainers_data()
    {
        QTest::addColumn<QList<QUuid>>("selection");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QList<qsizetype>>("indexes");

        QTest::newRow("empty") << QList<QUuid>() << QStringList() << QList<qsizetype>();
        QTest::newRow("library order, not selection order")
            << QList { gammaID, betaID } << QStringList { u"Beta"_s, u"Gamma"_s } << QList<qsizetype> { 0, 2 };
        QTest::newRow("every container of a shared identifier")
            << QList { alphaID } << QStringList { u"Alpha"_s, u"Alpha again"_s } << QList<qsizetype> { 1, 3 };
        QTest::newRow("staleID identifiers ignored")
            << QList { staleID, gammaID } << QStringList { u"Gamma"_s } << QList<qsizetype> { 2 };
    }

    void selectedContainers()
    {
        QFETCH(QList<QUuid>, selection);
        QFETCH(QStringList, expected);
        QFETCH(QList<qsizetype>, indexes);
        QCOMPARE(titlesOf(Utilities::selectedContainers(m_library, setOf(selection))), expected);
        QCOMPARE(Utilities::selectedContainerIndexes(m_library, setOf(selection)), indexes);
    }
};

QTEST_GUILESS_MAIN(TestUtilities)
#include "tst_utilities.moc"
