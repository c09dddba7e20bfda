// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/icontransfer.h"
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

    // Holding Option swaps what a dragged icon offers while it is held; the settings file is not
    // written for it.
    void optionKeySwapsDragFormatWithoutWritingTheFile()
    {
        CommandManager commands;
        ContentView window(
            commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        auto *field = new QLineEdit(window.centralWidget());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SettingsStore &store = m_services.settingsFile.store();
        store.sync();
        const QByteArray before = fileContents(store.fileName());
        Icon icon;
        icon.type = IconFileType::icns;
        QCOMPARE(IconTransfer::transferRepresentation(icon, m_services.settings), { IconTransfer::folderFormat });

        QTest::keyPress(field, Qt::Key_Alt);
        QCOMPARE(IconTransfer::transferRepresentation(icon, m_services.settings), { IconTransfer::icnsFormat });
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
        QApplication::sendEvent(field, &release);
        QCOMPARE(IconTransfer::transferRepresentation(icon, m_services.settings), { IconTransfer::folderFormat });

        store.sync();
        QCOMPARE(fileContents(store.fileName()), before);
        QVERIFY(!before.contains("alternateDragAndDropFormat"));
    }

    // The search field says what it is while empty, and Escape empties it.
    void searchField()
    {
        CommandManager commands;
        ContentView window(
            commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
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
        ContentView window(
            commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
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
        ContentView window(
            commands, m_services.library, m_services.thumbnails, m_services.iconSetter, m_services.settings);
        StandardOutputCapture output;
        window.openArgument(argument);
        QStringList lines;
        QTRY_VERIFY((lines += output.takeLines()).contains(line));
        QVERIFY(!window.containerToDownload());
    }

private:
    static QByteArray fileContents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    AppServices m_services;
    QTemporaryDir m_home;
};

QTEST_MAIN(TestContentView)
#include "tst_contentview.moc"
