// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconcollectiongrid.h"
#include "collections/iconcollectionlist.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/detailcolumn.h"
#include "mainwindow/detailstatusbar.h"
#include "mainwindow/lowresolutionoverlay.h"
#include "mainwindow/xdrview.h"
#include "support/appservices.h"
#include "support/libraryfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestDetailColumn : public QObject
{
    Q_OBJECT

    AppServices m_services;

private:
    LibraryFixture m_fixture;

private slots:
    void init()
    {
        m_services.settings.iconViewMode().reset();
        m_services.settings.emulateLowResolution().reset();
    }

    void followsSelectionModeAndEmulation()
    {
        IconContainer container { .title = u"Space"_s };
        Icon first;
        first.id = QUuid::createUuid();
        first.name = u"Rocket"_s;
        first.containerID = container.id;
        Icon second = first;
        second.id = QUuid::createUuid();
        second.name = u"Moon"_s;
        container.icons = { first, second };
        m_services.library.setContainers({ container });

        ContainerSelection selection;
        IconSelectionManager icons;
        DetailColumn column(
            m_services.library, selection, icons, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        QVERIFY(!column.collectionView());
        QVERIFY(!column.statusBar()->isEnabled());

        selection.setIds({ container.id });
        auto *grid = qobject_cast<IconCollectionGrid *>(column.collectionView());
        QVERIFY(grid);
        QVERIFY(column.statusBar()->isEnabled());
        column.setSearchText(u"moon"_s);

        m_services.settings.iconViewMode().write(IconViewMode::list);
        QCOMPARE(column.collectionViewMode(), IconViewMode::list);
        QVERIFY(qobject_cast<IconCollectionList *>(column.collectionView()));
        QCOMPARE(column.searchText(), u"moon"_s);
        // A presentation shown again is the same one, brought up to date.
        selection.setIds({ container.id, QUuid::createUuid() });
        m_services.settings.iconViewMode().write(IconViewMode::grid);
        QCOMPARE(column.collectionView(), grid);
        QCOMPARE(grid->containerSelection().size(), 2);
        QCOMPARE(grid->searchText(), u"moon"_s);
        m_services.settings.iconViewMode().write(IconViewMode::list);

        QVERIFY(!column.overlay());
        m_services.settings.emulateLowResolution().write(true);
        QVERIFY(column.overlay());
        QVERIFY(qobject_cast<XDRView *>(column.overlay()->brightnessLayer()));
        m_services.settings.emulateLowResolution().write(false);
        QVERIFY(!column.overlay());

        selection.setIds({});
        QVERIFY(!column.collectionView());
        QVERIFY(!column.statusBar()->isEnabled());
    }
};

QTEST_MAIN(TestDetailColumn)
#include "tst_detailcolumn.moc"
