// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/errorobserver.h"
#include "mainwindow/selectionobserver.h"

#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "support/standardoutputcapture.h"

#include <QSignalSpy>
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

    void selectionObserverPrunesThenDisables_data()
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

    void selectionObserverPrunesThenDisables()
    {
        QFETCH(QStringList, containers);
        QFETCH(QStringList, kept);
        QFETCH(bool, disabled);

        IconContainer space { .title = u"Space"_s };
        IconContainer sea { .title = u"Sea"_s };
        QHash<QString, QUuid> ids;
        const auto add = [&ids](IconContainer &container, const QString &name) {
            container.icons.append(Icon {
                .id = QUuid::createUuid(), .containerID = container.id, .name = name, .type = IconFileType::icns });
            ids.insert(name, container.icons.constLast().id);
        };
        add(space, u"Star"_s);
        add(space, u"Moon"_s);
        add(sea, u"Fish"_s);
        ids.insert(u"Ghost"_s, QUuid::createUuid());
        m_manager.setContainers({ space, sea });
        QSet<IconLookup> lookups;
        for (const IconContainer &container : { space, sea }) {
            for (const Icon &icon : container.icons)
                lookups.insert({ icon.id, container.id });
        }
        m_manager.setIconLookupSet(lookups);

        IconSelectionManager iconSelection;
        for (const QString &name : { u"Fish"_s, u"Star"_s, u"Ghost"_s })
            iconSelection.select(ids.value(name));
        SelectionObserver observer(m_manager, iconSelection);
        QStringList keptWhenSent;
        QList<bool> sent;
        connect(&observer, &SelectionObserver::exporterDisabled, this, [&](bool value) {
            sent.append(value);
            for (const QUuid &id : iconSelection.selection())
                keptWhenSent.append(ids.key(id));
        });

        QSet<QUuid> selection;
        for (const QString &title : std::as_const(containers))
            selection.insert(title == u"Space" ? space.id : sea.id);
        observer.containerSelectionChanged(selection);

        QCOMPARE(sent, QList<bool> { disabled });
        // The icons were pruned before the menu was told.
        QCOMPARE(keptWhenSent, kept);
    }
};

QTEST_MAIN(TestWindowObservers)
#include "tst_windowobservers.moc"
