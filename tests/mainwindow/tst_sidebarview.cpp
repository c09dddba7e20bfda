// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/containerlistmodel.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/quickdropview.h"
#include "mainwindow/sidebarview.h"
#include "support/appservices.h"
#include "support/libraryfixture.h"

#include <QAbstractItemModelTester>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

IconContainer container(const QString &title, QList<Icon> icons = {})
{
    IconContainer result { .title = title };
    for (Icon &icon : icons)
        icon.containerID = result.id;
    result.icons = std::move(icons);
    return result;
}

Icon icon(const QString &name)
{
    Icon result;
    result.id = QUuid::createUuid();
    result.name = name;
    return result;
}

// The titles of the rows the list view selects, in row order.
QStringList selectedTitles(const SidebarView &sidebar)
{
    QStringList titles;
    QModelIndexList rows = sidebar.listView()->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    for (const QModelIndex &index : rows)
        titles << index.data().toString();
    return titles;
}

} // namespace

class TestSidebarView : public QObject
{
    Q_OBJECT

    AppServices m_services;

private:
    LibraryFixture m_fixture;
    ContainerManager m_manager;

    void setLibrary(QList<IconContainer> containers)
    {
        QSet<IconLookup> lookups;
        for (const IconContainer &c : containers) {
            for (const Icon &i : c.icons)
                lookups.insert(IconLookup { i.id, c.id });
        }
        m_manager.setIconLookupSet(lookups);
        m_manager.setContainers(std::move(containers));
    }

private slots:
    void init()
    {
        QVERIFY(m_fixture.isValid());
        m_services.settings.sidebarIconSize().reset();
        setLibrary({});
    }

    void modelFollowsWritesInPlace()
    {
        ContainerListModel model(m_manager);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
        const QList<IconContainer> three { container(u"A"_s), container(u"B"_s), container(u"C"_s) };
        setLibrary(three);
        QCOMPARE(model.rowCount(), 3);
        const QPersistentModelIndex b = model.index(1);
        setLibrary({ three[2], three[0], three[1] });
        QCOMPARE(layouts.count(), 1);
        QCOMPARE(model.index(0).data().toString(), u"C"_s);
        QCOMPARE(model.index(0).data(ContainerListModel::IdRole).toUuid(), three[2].id);
        // A reorder carries indexes along with their containers.
        QCOMPARE(b.row(), 2);
        QCOMPARE(b.data().toString(), u"B"_s);
        // A new container in the middle and one gone at the front.
        const IconContainer d = container(u"D"_s);
        setLibrary({ three[0], d, three[1] });
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(1).data().toString(), u"D"_s);
        QCOMPARE(b.row(), 2);
        setLibrary({ three[1] });
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.rowOf(three[1].id), 0);
        QCOMPARE(model.rowOf(three[0].id), -1);
        setLibrary({});
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(resets.count(), 0);
    }

    // The titles a first load lists stand as rows, and stay rows, selected ones too, when the
    // containers arrive.
    void listedTitlesStandUntilTheLoadArrives()
    {
        ContainerSelection selection;
        IconSelectionManager icons;
        SidebarView sidebar(
            m_manager, selection, icons, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        QAbstractItemModelTester tester(sidebar.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        QList<IconContainer> two { container(u"A"_s, { icon(u"a"_s) }), container(u"B"_s, { icon(u"b"_s) }) };
        QList<IconContainer> titlesOnly = two;
        for (IconContainer &c : titlesOnly)
            c.icons.clear();
        Q_EMIT m_manager.containersListed(titlesOnly);
        QCOMPARE(sidebar.model()->rowCount(), 2);
        QCOMPARE(sidebar.model()->index(1).data().toString(), u"B"_s);
        sidebar.listView()->selectionModel()->select(sidebar.model()->index(1), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(selection.ids(), QSet<QUuid> { two[1].id });

        QSignalSpy removed(sidebar.model(), &QAbstractItemModel::rowsRemoved);
        setLibrary(two);
        QCOMPARE(removed.count(), 0);
        QCOMPARE(selectedTitles(sidebar), QStringList { u"B"_s });
        QVERIFY(!sidebar.model()->containerAt(1)->icons.isEmpty());
        // Once the library holds containers, titles listed late change nothing.
        Q_EMIT m_manager.containersListed({ container(u"C"_s) });
        QCOMPARE(sidebar.model()->rowCount(), 2);
    }

    // A write of the containers must neither blank nor rewrite the window's selection.
    void selectionSurvivesWrites()
    {
        ContainerSelection selection;
        IconSelectionManager icons;
        SidebarView sidebar(
            m_manager, selection, icons, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        const QList<IconContainer> three { container(u"A"_s), container(u"B"_s), container(u"C"_s) };
        setLibrary(three);

        // As the user would: select B, then add C.
        QItemSelectionModel *rows = sidebar.listView()->selectionModel();
        rows->select(sidebar.model()->index(1), QItemSelectionModel::ClearAndSelect);
        rows->select(sidebar.model()->index(2), QItemSelectionModel::Select);
        const QSet<QUuid> chosen { three[1].id, three[2].id };
        QCOMPARE(selection.ids(), chosen);

        QSignalSpy writes(&selection, &ContainerSelection::changed);
        setLibrary({ three[2], three[0], three[1] });
        QCOMPARE(selection.ids(), chosen);
        QCOMPARE(selectedTitles(sidebar), (QStringList { u"C"_s, u"B"_s }));

        // A reload that drops C and reads B anew (a new identifier) selects nothing it cannot
        // name, and still leaves the window's selection to the window.
        IconContainer reloadedB = container(u"B"_s);
        setLibrary({ three[0], reloadedB });
        QCOMPARE(selection.ids(), chosen);
        QVERIFY(selectedTitles(sidebar).isEmpty());
        QCOMPARE(writes.count(), 0);

        // Once the window carries its selection over, the row is selected again.
        selection.setIds({ reloadedB.id });
        QCOMPARE(selectedTitles(sidebar), QStringList { u"B"_s });

        // Emptied by the window ("Deselect All"), it leaves no row selected.
        selection.setIds({});
        QVERIFY(selectedTitles(sidebar).isEmpty());
    }

    void quickDropGetsLastResolvingIcon()
    {
        ContainerSelection selection;
        IconSelectionManager icons;
        SidebarView sidebar(
            m_manager, selection, icons, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        const IconContainer first = container(u"First"_s, { icon(u"A"_s) });
        const IconContainer second = container(u"Second"_s, { icon(u"B"_s) });
        setLibrary({ first, second });
        const QUuid a = first.icons[0].id;
        const QUuid b = second.icons[0].id;

        QVERIFY(!sidebar.quickDropView()->icon());
        icons.select(a);
        icons.select(b);
        QCOMPARE(sidebar.quickDropView()->icon()->id, b);
        // B's container leaves the library: B no longer resolves, A is the last one that does.
        m_manager.setContainers({ first });
        QCOMPARE(sidebar.quickDropView()->icon()->id, a);
        icons.setSelection({});
        QVERIFY(!sidebar.quickDropView()->icon());
    }

    void rowsFollowIconSizeSetting()
    {
        ContainerSelection selection;
        IconSelectionManager icons;
        SidebarView sidebar(
            m_manager, selection, icons, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        setLibrary({ container(u"A"_s) });
        sidebar.resize(200, 400);
        const int defaultHeight = sidebar.listView()->sizeHintForRow(0);
        m_services.settings.sidebarIconSize().write(SidebarIconSize::small);
        const int smallHeight = sidebar.listView()->sizeHintForRow(0);
        QVERIFY2(defaultHeight >= 32 + 8 && smallHeight < defaultHeight,
            qPrintable(u"%1 then %2"_s.arg(defaultHeight).arg(smallHeight)));
        QCOMPARE(sidebar.listView()->visualRect(sidebar.model()->index(0)).height(), smallHeight);
    }
};

QTEST_MAIN(TestSidebarView)
#include "tst_sidebarview.moc"
