// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "mainwindow/commandmanager.h"
#include "mainwindow/contentview.h"
#include "support/appservices.h"
#include "support/standardoutputcapture.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestContentView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path()));
    }

    void cleanup() { m_services.library.setError(std::nullopt); }

    // The search field says what it is while empty, and Escape empties it.
    void searchField()
    {
        CommandManager commands;
        ContentView window(commands, m_services.library, m_services.thumbnails, m_services.iconSetter);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QLineEdit *field = window.searchField();
        QCOMPARE(field->placeholderText(), u"Search"_s);
        field->setFocus();
        QTest::keyClicks(field, u"star"_s);
        QCOMPARE(field->text(), u"star"_s);
        QSignalSpy changed(field, &QLineEdit::textChanged);
        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(field->text(), QString());
        QCOMPARE(changed.size(), 1);
        // An empty field stays as it is.
        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(changed.size(), 1);
    }

    void selectionChangesReportExporterState()
    {
        CommandManager commands;
        ContentView window(commands, m_services.library, m_services.thumbnails, m_services.iconSetter);
        QSignalSpy sent(&commands, &CommandManager::exporterDisabled);
        window.setContainerSelection({ QUuid::createUuid() });
        window.setContainerSelection({});
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent.at(0).at(0).toBool(), false);
        QCOMPARE(sent.at(1).at(0).toBool(), true);
        QCOMPARE(sent.at(0).at(1).value<const QObject *>(), &window);
    }

    void outsideArguments_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("line");
        QTest::newRow("link to another host")
            << u"glimbar://elsewhere/https://example.org/a.zip"_s << u"The rAvivovode download URL is invalid."_s;
        QTest::newRow("link without address") << u"glimbar:"_s << u"The rAvivovode download URL is invalid."_s;
        QTest::newRow("missing file") << u"/nonexistent/Space.ravivovode"_s
                                      << u"“Space.ravivovode” couldn’t be imported: it isn’t an rAvivovode archive."_s;
        QTest::newRow("control characters")
            << u"/tmp/a\u001b[2Jb"_s << u"“a\uFFFD[2Jb” couldn’t be imported: it isn’t an rAvivovode archive."_s;
    }

    void outsideArguments()
    {
        QFETCH(QString, argument);
        QFETCH(QString, line);
        CommandManager commands;
        ContentView window(commands, m_services.library, m_services.thumbnails, m_services.iconSetter);
        StandardOutputCapture output;
        window.openArgument(argument);
        QStringList lines;
        QTRY_VERIFY((lines += output.takeLines()).contains(line));
        QVERIFY(!window.containerToDownload());
    }

private:
    AppServices m_services;
    QTemporaryDir m_home;
};

QTEST_MAIN(TestContentView)
#include "tst_contentview.moc"
