// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandmanager.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "mainwindow/contentview.h"
#include "mainwindow/mainsplitview.h"
#include "mainwindow/quickdropview.h"
#include "mainwindow/sidebarview.h"
#include "support/libraryfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestContentViewComposition : public QObject
{
    Q_OBJECT

private:
    LibraryFixture m_fixture;

private slots:
    void titleFollowsSelectionAndLibrary()
    {
        IconContainer space { .title = u"Space"_s, .authorName = u"Ada"_s };
        IconContainer plain { .title = u"Plain"_s };
        ContainerManager::shared().setContainers({ space, plain });
        CommandManager commands;
        ContentView window(commands);
        QCOMPARE(window.windowTitle(), u"Glimbar"_s);
        window.setContainerSelection({ space.id });
        QCOMPARE(window.windowTitle(), u"Space — Ada"_s);
        window.setContainerSelection({ space.id, plain.id });
        QCOMPARE(window.windowTitle(), u"Glimbar"_s);
        window.setContainerSelection({ plain.id });
        QCOMPARE(window.windowTitle(), u"Plain"_s);
        // The container leaves the library: its title goes with it.
        ContainerManager::shared().setContainers({ space });
        QCOMPARE(window.windowTitle(), u"Glimbar"_s);
    }

    // A write that leaves selected identifiers unresolved (a reload) must not leave the window
    // exporting, or Quick Drop applying, something the library no longer holds.
    void staleSelectionsAreNotKept()
    {
        IconContainer space { .title = u"Space"_s };
        Icon icon;
        icon.id = QUuid::createUuid();
        icon.containerID = space.id;
        space.icons = { icon };
        ContainerManager &library = ContainerManager::shared();
        library.setIconLookupSet({ IconLookup { icon.id, space.id } });
        library.setContainers({ space });
        CommandManager commands;
        ContentView window(commands);
        window.setContainerSelection({ space.id });
        window.iconSelectionManager().select(icon.id);
        QVERIFY(window.splitView()->sidebar()->quickDropView()->icon());

        QSignalSpy exporter(&commands, &CommandManager::exporterDisabled);
        library.setContainers({ IconContainer { .title = u"Space"_s } });
        QVERIFY(window.containerSelection().isEmpty());
        QVERIFY(window.iconSelectionManager().selection().empty());
        QVERIFY(!window.splitView()->sidebar()->quickDropView()->icon());
        QCOMPARE(exporter.count(), 1);
        QCOMPARE(exporter[0][0].toBool(), true);
    }

    void alternateFormatIsReleasedOnDeactivation()
    {
        CommandManager commands;
        ContentView window(commands);
        Settings::alternateDragAndDropFormat().write(true);
        QEvent change(QEvent::ActivationChange);
        QCoreApplication::sendEvent(&window, &change);
        QCOMPARE(Settings::alternateDragAndDropFormat().read(), false);
    }
};

QTEST_MAIN(TestContentViewComposition)
#include "tst_contentviewcomposition.moc"
