// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/mainsplitview.h"
#include "support/appservices.h"
#include "support/libraryfixture.h"

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
        split.selection().setIds({});
        QCOMPARE(exporter.last()[0].toBool(), true);
    }

    void pruningComesBeforeTheExportReport_data()
    {
        // Space holds Star and Moon, Sea holds Fish; the icons were selected as Fish, Star, Ghost
        // (Ghost resolves nowhere).
        QTest::addColumn<QStringList>("containers");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<bool>("disabled");
        QTest::newRow("one container") << QStringList { u"Space"_s } << QStringList { u"Star"_s, u"Ghost"_s } << false;
        QTest::newRow("none") << QStringList() << QStringList { u"Ghost"_s } << true;
        QTest::newRow("two") << QStringList { u"Sea"_s, u"Space"_s } << QStringList { u"Fish"_s, u"Star"_s, u"Ghost"_s }
                             << true;
    }

    void pruningComesBeforeTheExportReport()
    {
        QFETCH(QStringList, containers);
        QFETCH(QStringList, kept);
        QFETCH(bool, disabled);

        IconContainer space { .title = u"Space"_s };
        IconContainer sea { .title = u"Sea"_s };
        QHash<QString, QUuid> ids;
        QSet<IconLookup> lookups;
        const auto add = [&ids, &lookups](IconContainer &container, const QString &name) {
            Icon icon;
            icon.id = QUuid::createUuid();
            icon.containerID = container.id;
            icon.name = name;
            container.icons.append(icon);
            ids.insert(name, icon.id);
            lookups.insert({ icon.id, container.id });
        };
        add(space, u"Star"_s);
        add(space, u"Moon"_s);
        add(sea, u"Fish"_s);
        ids.insert(u"Ghost"_s, QUuid::createUuid());
        ContainerManager &manager = m_services.library;
        manager.setContainers({ space, sea });
        manager.setIconLookupSet(lookups);

        MainSplitView split(manager, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        for (const QString &name : { u"Fish"_s, u"Star"_s, u"Ghost"_s })
            split.iconSelection().select(ids.value(name));
        QStringList keptWhenSent;
        QList<bool> sent;
        connect(&split, &MainSplitView::exporterDisabled, this, [&](bool value) {
            sent.append(value);
            for (const QUuid &id : split.iconSelection().selection())
                keptWhenSent.append(ids.key(id));
        });

        QSet<QUuid> selection;
        for (const QString &title : std::as_const(containers))
            selection.insert(title == u"Space" ? space.id : sea.id);
        split.selection().setIds(selection);

        QCOMPARE(sent, QList<bool> { disabled });
        // The icons were pruned, in selection order, before the menu was told.
        QCOMPARE(keptWhenSent, kept);
    }
};

QTEST_MAIN(TestMainSplitView)
#include "tst_mainsplitview.moc"
