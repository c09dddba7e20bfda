// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/mainsplitview.h"
#include "mainwindow/sidebarview.h"
#include "support/appservices.h"
#include "support/libraryfixture.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMainSplitView : public QObject
{
    Q_OBJECT

    AppServices m_services;

private:
    LibraryFixture m_fixture;

private slots:
    void selectionChangesPruneAndReportExporter()
    {
        IconContainer first { .title = u"First"_s };
        IconContainer second { .title = u"Second"_s };
        Icon a;
        a.id = QUuid::createUuid();
        a.containerID = first.id;
        Icon b;
        b.id = QUuid::createUuid();
        b.containerID = second.id;
        first.icons = { a };
        second.icons = { b };
        ContainerManager &manager = m_services.library;
        manager.setIconLookupSet({ IconLookup { a.id, first.id }, IconLookup { b.id, second.id } });
        manager.setContainers({ first, second });

        MainSplitView split(manager, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        QSignalSpy exporter(&split, &MainSplitView::exporterDisabled);
        QCOMPARE(exporter.count(), 0);

        split.selection().setIds({ first.id, second.id });
        split.iconSelection().select(a.id);
        split.iconSelection().select(b.id);
        split.selection().setIds({ second.id });
        QCOMPARE(split.iconSelection().selection().size(), 1);
        QCOMPARE(*split.iconSelection().selection().begin(), b.id);

        QCOMPARE(exporter.count(), 2);
        QCOMPARE(exporter[0][0].toBool(), true);
        QCOMPARE(exporter[1][0].toBool(), false);
        // The sidebar's own Export items follow this window's selection.
        const QMenu *exportMenu = split.sidebar()->moreMenu()->actions().at(1)->menu();
        QVERIFY(exportMenu->actions().constFirst()->isEnabled());
        split.selection().setIds({});
        QCOMPARE(exporter.last()[0].toBool(), true);
        QVERIFY(!exportMenu->actions().constFirst()->isEnabled());
    }
};

QTEST_MAIN(TestMainSplitView)
#include "tst_mainsplitview.moc"
