// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "mainwindow/commandmanager.h"
#include "mainwindow/contentview.h"
#include "mainwindow/mainsplitview.h"
#include "mainwindow/quickdropview.h"
#include "mainwindow/sidebarview.h"
#include "support/appservices.h"
#include "support/libraryfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <QWindow>

using namespace Qt::StringLiterals;

class TestContentViewComposition : public QObject
{
    Q_OBJECT

private:
    AppServices m_services;
    LibraryFixture m_fixture;

private slots:
    void titleFollowsSelectionAndLibrary()
    {
        IconContainer space { .title = u"Space"_s, .authorName = u"Ada"_s };
        IconContainer plain { .title = u"Plain"_s };
        m_services.library.setContainers({ space, plain });
        CommandManager commands;
        ContentView window(
            commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        QCOMPARE(window.windowTitle(), u"Glimbar"_s);
        window.setContainerSelection({ space.id });
        QCOMPARE(window.windowTitle(), u"Space — Ada"_s);
        window.setContainerSelection({ space.id, plain.id });
        QCOMPARE(window.windowTitle(), u"Glimbar"_s);
        window.setContainerSelection({ plain.id });
        QCOMPARE(window.windowTitle(), u"Plain"_s);
        // The container leaves the library: its title goes with it.
        m_services.library.setContainers({ space });
        QCOMPARE(window.windowTitle(), u"Glimbar"_s);
    }

    // What the title bar shows is the platform window's title, after Qt's handling of "[*]".
    void titleBarShowsTitleVerbatim_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("marker inside") << u"Star [*] Pack"_s;
        QTest::newRow("marker alone") << u"[*]"_s;
        QTest::newRow("marker twice") << u"[*][*]"_s;
        QTest::newRow("marker thrice apart") << u"a[*]b[*][*]c"_s;
        QTest::newRow("broken marker") << u"[*[*]]"_s;
    }

    void titleBarShowsTitleVerbatim()
    {
        QFETCH(QString, title);
        IconContainer container { .title = title, .authorName = u"Ann [*]"_s };
        m_services.library.setContainers({ container });
        CommandManager commands;
        ContentView window(
            commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        window.setWindowModified(true);
        window.winId();
        window.setContainerSelection({ container.id });
        QCOMPARE(window.windowHandle()->title(), title + u" — Ann [*]"_s);
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
        ContainerManager &library = m_services.library;
        library.setIconLookupSet({ IconLookup { icon.id, space.id } });
        library.setContainers({ space });
        CommandManager commands;
        ContentView window(
            commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
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
        ContentView window(
            commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        m_services.settings.alternateDragAndDropFormat().write(true);
        QEvent change(QEvent::ActivationChange);
        QCoreApplication::sendEvent(&window, &change);
        QCOMPARE(m_services.settings.alternateDragAndDropFormat().read(), false);
    }
};

QTEST_MAIN(TestContentViewComposition)
#include "tst_contentviewcomposition.moc"
