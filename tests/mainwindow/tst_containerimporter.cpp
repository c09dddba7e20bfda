// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/containerimporter.h"

#include "library/containermanager.h"
#include "mainwindow/failurealert.h"
#include "model/containerjson.h"
#include "support/filesizelimit.h"
#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"
#include "support/standardoutputcapture.h"
#include "support/typedstreamwriter.h"
#include "support/workergate.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QByteArray icns()
{
    return IcnsBuilder().add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(128, 128))).build();
}

QByteArray archive(const QString &author)
{
    const ArchivedValue icon = ts::dict({ { "Type", ts::str("IcnsFile") }, { "IcnsData", ts::bytes(icns()) } });
    return TypedStreamWriter::archive(
        ts::dict({ { "AuthorName", ts::str(author) }, { "Icons", ts::dict({ { "Star", icon }, { "Moon", icon } }) } }));
}

QStringList titles(const QList<IconContainer> &containers)
{
    QStringList names;
    for (const IconContainer &container : containers)
        names << container.title + u':' + QString::number(container.icons.size());
    return names;
}

} // namespace

class TestContainerImporter : public QObject
{
    Q_OBJECT

private:
    LibraryFixture m_fixture;
    std::unique_ptr<QTemporaryDir> m_dir;
    ContainerManager m_manager;

    // Writes the named fixture into the test's folder and gives its URL.
    QUrl fixture(const QString &name)
    {
        const QString path = m_dir->filePath(name);
        bool written = false;
        if (name.startsWith(u"Archive"))
            written = LibraryFixture::writeFile(path, archive(u"Ann"_s));
        else if (name.startsWith(u"Hostile"))
            written = LibraryFixture::writeFile(path, archive(u"Bob"_s).left(60) + QByteArray(64, '\xff'));
        else if (name.startsWith(u"Folder")) {
            const IconContainer container { .title = u"Own Form"_s,
                .authorName = u"Cy"_s,
                .icons = { Icon { .id = QUuid::createUuid(),
                    .name = u"Sun"_s,
                    .type = IconFileType::icns,
                    .icnsData = icns(),
                    .author = u"Cy"_s,
                    .filename = u"Sun.icns"_s } } };
            written = LibraryFixture::writeFile(path + u"/info.json"_s, encodeContainerJson(container).value())
                && LibraryFixture::writeFile(path + u"/Sun.icns"_s, icns());
        } else if (name.startsWith(u"Empty")) {
            written = QDir().mkpath(path);
        }
        return written ? QUrl::fromLocalFile(path) : QUrl();
    }

private slots:
    void initTestCase() { QVERIFY(m_fixture.isValid()); }

    void init()
    {
        m_fixture.reset();
        m_manager.setContainers({});
        m_manager.setError(std::nullopt);
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // What the user picks, in order, and the lines printed; a line ending in "*" is a prefix.
    void importsEachChosenItem_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("containers");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("two archives") << QStringList { u"Archive A.ravivovode"_s, u"Archive B.ravivovode"_s }
                                      << QStringList { u"Archive A:2"_s, u"Archive B:2"_s } << QStringList();
        QTest::newRow("a hostile archive fails alone")
            << QStringList { u"Archive A.ravivovode"_s, u"Hostile.ravivovode"_s, u"Archive C.ravivovode"_s }
            << QStringList { u"Archive A:2"_s, u"Archive C:2"_s }
            << QStringList { u"“Hostile.ravivovode” couldn’t be imported: it isn’t an rAvivovode archive."_s };
        QTest::newRow("a folder of our own form") << QStringList { u"Folder.ravivovode"_s, u"Archive A.ravivovode"_s }
                                                  << QStringList { u"Archive A:2"_s, u"Own Form:1"_s } << QStringList();
        QTest::newRow("a folder without info.json")
            << QStringList { u"Empty.ravivovode"_s, u"Archive A.ravivovode"_s } << QStringList { u"Archive A:2"_s }
            << QStringList { u"The file “info.json” couldn’t be read: *"_s,
                   u"“Empty.ravivovode” couldn’t be imported: it isn’t an rAvivovode folder."_s };
    }

    void importsEachChosenItem()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, containers);
        QFETCH(QStringList, lines);
        QList<QUrl> urls;
        for (const QString &name : std::as_const(chosen))
            urls << fixture(name);
        QVERIFY(!urls.contains(QUrl()));
        // Not a file: skipped without a word.
        urls.insert(1, QUrl(u"https://example.com/Remote.ravivovode"_s));

        ContainerImporter importer(m_manager);
        int dialogs = 0;
        importer.setFilePicker([&dialogs, urls](QWidget *) {
            ++dialogs;
            return urls;
        });
        QSignalSpy published(&m_manager, &ContainerManager::containersChanged);
        StandardOutputCapture output;
        importer.presentImporter();
        // The reload publishes once control returns to the event loop.
        QVERIFY(published.wait(5000));

        QCOMPARE(dialogs, 1);
        const QStringList printed = output.takeLines();
        QCOMPARE(printed.size(), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString &line = lines.at(i);
            QVERIFY2(line.endsWith(u'*') ? printed.at(i).startsWith(line.chopped(1)) : printed.at(i) == line,
                qPrintable(printed.at(i)));
        }
        QCOMPARE(titles(m_manager.containers()), containers);
        QCOMPARE(m_manager.error(), std::nullopt);
        const auto own = std::find_if(m_manager.containers().cbegin(), m_manager.containers().cend(),
            [](const IconContainer &container) { return container.title == u"Own Form"; });
        if (own != m_manager.containers().cend()) {
            QCOMPARE(own->authorName, u"Cy"_s);
            QCOMPARE(own->icons.constFirst().icnsData, std::optional(icns()));
        }
    }

    // The file dialog opens other folders but hands ours over, beside files, as documents.
    void dialogTakesFoldersOfOurOwnForm()
    {
        const QUrl folder = fixture(u"Folder.ravivovode"_s);
        const QUrl archive = fixture(u"Archive A.ravivovode"_s);
        QVERIFY(QDir().mkpath(m_dir->filePath(u"Plain"_s)));
        bool answered = false;
        QTimer::singleShot(0, this, [this, &answered] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setDirectory(m_dir->path());
            auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
            QVERIFY(name);
            // A plain folder is opened, not chosen.
            name->setText(u"Plain"_s);
            QTest::keyClick(name, Qt::Key_Return);
            QVERIFY(dialog->isVisible());
            QCOMPARE(dialog->directory().absolutePath(), m_dir->filePath(u"Plain"_s));
            dialog->setDirectory(m_dir->path());
            name->setText(u"\"Folder.ravivovode\" \"Archive A.ravivovode\""_s);
            QTest::keyClick(name, Qt::Key_Return);
            answered = !dialog->isVisible();
            // Had it opened the folder instead, the test ends here rather than waiting for ever.
            if (!answered)
                static_cast<QDialog *>(dialog)->reject();
        });
        const QList<QUrl> chosen = ContainerImporter::chooseFiles(nullptr);
        QVERIFY(answered);
        QCOMPARE(chosen, QList<QUrl>({ folder, archive }));
    }

    // An import asked for while a load runs is saved after that load and shown by one reload, however
    // many loads were asked for meanwhile.
    void importDuringLoadIsSavedAfterItThenReloadedOnce()
    {
        const QUrl archive = fixture(u"Archive A.ravivovode"_s);
        ContainerImporter importer(m_manager);
        QList<QStringList> published;
        const QMetaObject::Connection follow = connect(&m_manager, &ContainerManager::containersChanged, this,
            [&] { published << titles(m_manager.containers()); });
        {
            WorkerGate gate(m_manager.worker());
            gate.waitUntilHeld();
            m_manager.loadLibrary();
            importer.importUrls({ archive });
            m_manager.loadLibrary();
            QVERIFY(published.isEmpty());
        }
        QTRY_COMPARE_WITH_TIMEOUT(published.size(), 2, 20000);
        m_manager.waitForRequests();
        QCoreApplication::sendPostedEvents();
        disconnect(follow);
        QCOMPARE(published, QList<QStringList>({ {}, { u"Archive A:2"_s } }));
    }

    // The window that asked for an import may close before it is done: the library still gets the
    // container, and nothing reaches the window.
    void windowClosedDuringImport()
    {
        const QUrl archive = fixture(u"Archive A.ravivovode"_s);
        QSignalSpy published(&m_manager, &ContainerManager::containersChanged);
        {
            WorkerGate gate(m_manager.worker());
            gate.waitUntilHeld();
            auto *window = new QWidget;
            auto *importer = new ContainerImporter(m_manager, window, window);
            importer->setFilePicker([archive](QWidget *) { return QList<QUrl> { archive }; });
            importer->presentImporter();
            delete window;
        }
        QTRY_COMPARE_WITH_TIMEOUT(published.size(), 1, 20000);
        QCOMPARE(titles(m_manager.containers()), QStringList { u"Archive A:2"_s });
    }

    // Every file of a batch that was not imported is listed, with its reason, in one alert over the
    // window once the batch has ended; the title is the library's error where the library failed.
    void failuresAreShownInOneAlert_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("error");
        const QString notes = u"“notes.ravivovode” couldn’t be imported: it isn’t an rAvivovode archive."_s;
        QTest::newRow("a text file") << u"text"_s << u"Some files couldn’t be imported."_s << QStringList { notes }
                                     << -1;
        QTest::newRow("a full disk")
            << u"full"_s << u"Saving the rAvivovode failed."_s
            << QStringList { notes,
                   u"“Archive A.ravivovode” couldn’t be saved into the library: The file "
                   u"“Star.icns” couldn’t be saved: File too large\nSaving the icon failed."_s }
            << int(ContainerError::writeContainerFailed);
        QTest::newRow("no Library folder")
            << u"no library"_s << u"An error occured finding the rAvivovode library."_s
            << QStringList { u"“notes.ravivovode” couldn’t be saved into the library: The folder “Library” "
                             u"couldn’t be created: Not a directory"_s,
                   u"“Archive A.ravivovode” couldn’t be saved into the library: The folder “Library” "
                   u"couldn’t be created: Not a directory"_s }
            << int(ContainerError::libraryError);
    }

    void failuresAreShownInOneAlert()
    {
        QFETCH(QString, cause);
        QFETCH(QString, title);
        QFETCH(QStringList, lines);
        QFETCH(int, error);
        const QString notesPath = m_dir->filePath(u"notes.ravivovode"_s);
        QVERIFY(LibraryFixture::writeFile(notesPath, "shopping: milk, bread\n"));
        const QList<QUrl> urls { QUrl::fromLocalFile(notesPath), fixture(u"Archive A.ravivovode"_s) };
        if (cause == u"no library")
            QVERIFY(LibraryFixture::writeFile(m_fixture.libraryFolder(), "not a folder"));
        std::unique_ptr<FileSizeLimit> limit;
        if (cause == u"full")
            limit = std::make_unique<FileSizeLimit>(rlim_t(icns().size() - 1));

        QWidget window;
        window.show();
        ContainerImporter importer(m_manager, &window);
        importer.setFilePicker([urls](QWidget *) { return urls; });
        QSignalSpy shown(&importer, &ContainerImporter::failuresShown);
        QSignalSpy errors(&m_manager, &ContainerManager::errorChanged);
        StandardOutputCapture output;
        importer.presentImporter();
        QVERIFY(shown.wait(10000));
        limit.reset();

        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.constFirst().at(0).toString(), title);
        QCOMPARE(shown.constFirst().at(1).toStringList(), lines);
        FailureAlert *alert = importer.alert();
        QVERIFY(alert && alert->isVisible());
        QCOMPARE(alert->parentWidget(), &window);
        QCOMPARE(alert->windowModality(), Qt::WindowModal);
        QCOMPARE(alert->text(), title);
        QCOMPARE(alert->informativeText(), lines.join(u"\n\n"_s));
        // The terminal still gets every line, the window's reasons among them.
        const QStringList printed = output.takeLines();
        for (const QString &line : std::as_const(lines))
            QVERIFY2(printed.join(u' ').contains(line.mid(line.indexOf(u": "_s) + 2).section(u' ', 0, 4)),
                qPrintable(printed.join(u'\n')));
        QCOMPARE(m_manager.error().has_value(), error >= 0);
        if (error >= 0)
            QCOMPARE(int(*m_manager.error()), error);
        // The error was set by the import; nothing else showed it.
        QCOMPARE(window.findChildren<QMessageBox *>().size(), 1);
        alert->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(!importer.alert());
    }

    void cancelledDialogImportsNothing()
    {
        ContainerImporter importer(m_manager);
        importer.setFilePicker([](QWidget *) { return QList<QUrl>(); });
        QSignalSpy published(&m_manager, &ContainerManager::containersChanged);
        StandardOutputCapture output;
        importer.presentImporter();
        QVERIFY(!published.wait(200));
        QCOMPARE(output.takeLines(), QStringList());
        QCOMPARE(LibraryFixture::listing(m_fixture.libraryFolder()), QStringList());
    }
};

QTEST_MAIN(TestContainerImporter)
#include "tst_containerimporter.moc"
