// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/exportoptionssheet.h"

#include "library/containermanager.h"
#include "library/libraryreader.h"
#include "library/librarywriter.h"
#include "mainwindow/exportdestinationdialog.h"
#include "support/filesizelimit.h"
#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QByteArray icns(int pixels)
{
    return IcnsBuilder().add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(pixels, pixels))).build();
}

IconContainer space()
{
    IconContainer container { .title = u"Space"_s,
        .collectionID = u"com.example.space"_s,
        .authorName = u"Ann"_s,
        .authorURL = u"https://example.com"_s,
        .authorEmail = u"ann@example.com"_s,
        .copyright = u"© Ann"_s };
    container.icons = { Icon { .id = QUuid::createUuid(),
        .containerID = container.id,
        .name = u"Star"_s,
        .type = IconFileType::icns,
        .icnsData = icns(32),
        .author = u"Ann"_s } };
    return container;
}

QStringList authorFields(const IconContainer &container)
{
    return { container.authorName, container.authorEmail, container.authorURL, container.copyright };
}

} // namespace

class TestExportOptionsSheet : public QObject
{
    Q_OBJECT

private:
    // Its own home folder, so the save dialog's documents folder is the test's.
    LibraryFixture m_fixture;
    std::unique_ptr<QTemporaryDir> m_dir;
    ContainerManager m_manager;

    QString folder() const { return m_dir->path(); }

    static QLineEdit *field(const ExportOptionsSheet &sheet, const char *name)
    {
        return sheet.findChild<QLineEdit *>(QString::fromLatin1(name));
    }
    static QStringList shownFields(const ExportOptionsSheet &sheet)
    {
        return { field(sheet, "authorName")->text(), field(sheet, "authorEmail")->text(),
            field(sheet, "authorURL")->text(), field(sheet, "copyright")->text() };
    }
    static QMessageBox *alert(const ExportOptionsSheet &sheet) { return sheet.findChild<QMessageBox *>(); }

    // A sheet over `container` whose save dialog answers `answer` and counts its calls.
    std::unique_ptr<ExportOptionsSheet> sheet(
        const IconContainer &container, const QString &answer, int *asked = nullptr)
    {
        auto sheet = std::make_unique<ExportOptionsSheet>(container);
        sheet->setDestinationPicker([answer, asked](QWidget *, const QString &) {
            if (asked)
                ++*asked;
            return answer;
        });
        sheet->show();
        return sheet;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_fixture.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(QDir::homePath() + u"/.config"_s));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void fieldsFilledOnShow()
    {
        const auto shown = sheet(space(), {});
        QVERIFY(shown->findChild<QCheckBox *>()->isChecked());
        QCOMPARE(shownFields(*shown), authorFields(space()));
        for (const char *name : { "authorName", "authorEmail", "authorURL", "copyright" })
            QVERIFY(field(*shown, name)->isEnabled());
    }

    void exportWritesOnlyTheCopy_data()
    {
        QTest::addColumn<bool>("include");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("edited e-mail") << true
                                       << QStringList { u"Ann"_s, u"new@example.com"_s, u"https://example.com"_s,
                                              u"© Ann"_s };
        QTest::newRow("author information off") << false << QStringList { {}, {}, {}, {} };
    }

    void exportWritesOnlyTheCopy()
    {
        QFETCH(bool, include);
        QFETCH(QStringList, written);
        const IconContainer original = space();
        m_manager.setContainers({ original });
        const auto shown = sheet(original, folder() + u"/Out"_s);
        QTest::keyClicks(field(*shown, "authorEmail"), u"x"_s);
        field(*shown, "authorEmail")->clear();
        QTest::keyClicks(field(*shown, "authorEmail"), u"new@example.com"_s);
        if (!include) {
            shown->findChild<QCheckBox *>()->click();
            // Off disables the fields but keeps what they say.
            QVERIFY(!field(*shown, "authorName")->isEnabled());
            QCOMPARE(field(*shown, "authorName")->text(), u"Ann"_s);
        }
        // Return acts as "Export…".
        QTest::keyClick(shown.get(), Qt::Key_Return);

        QCOMPARE(shown->result(), int(QDialog::Accepted));
        QVERIFY(!alert(*shown)->isVisible());
        const auto document = LibraryReader::readContainerInfo(folder() + u"/Out.ravivovode"_s);
        QVERIFY(document);
        QCOMPARE(authorFields(*document), written);
        QCOMPARE(document->title, original.title);
        QCOMPARE(document->collectionID, original.collectionID);
        QCOMPARE(
            LibraryFixture::listing(folder() + u"/Out.ravivovode"_s), QStringList({ u"Star.icns"_s, u"info.json"_s }));
        QCOMPARE(authorFields(shown->container().value()), written);
        // The library keeps its own container as it was.
        QCOMPARE(authorFields(m_manager.containers().constFirst()), authorFields(original));
    }

    // A failure shows the alert over the open sheet and leaves the destination as it was: absent, or whole.
    void failedExportLeavesTheDestination_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("missingData");
        QTest::newRow("icon without data") << false << true;
        QTest::newRow("write fails part-way") << false << false;
        QTest::newRow("write fails part-way over an earlier export") << true << false;
    }

    void failedExportLeavesTheDestination()
    {
        QFETCH(bool, existing);
        QFETCH(bool, missingData);
        const QString destination = folder() + u"/Space.ravivovode"_s;
        if (existing) {
            QVERIFY(LibraryFixture::writeFile(destination + u"/info.json"_s, "old"));
            QVERIFY(LibraryFixture::writeFile(destination + u"/Old.icns"_s, "old icon"));
        }
        IconContainer container = space();
        if (missingData)
            container.icons.first().icnsData = std::nullopt;
        else
            container.icons.first().icnsData = icns(256);
        QVERIFY(missingData || container.icons.first().icnsData.read()->size() > 16 * 1024);
        const auto shown = sheet(container, destination);
        {
            const FileSizeLimit limit(16 * 1024);
            shown->exportContainer();
        }

        QMessageBox *box = alert(*shown);
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->text(), u"Export failed"_s);
        // The standing text, then why in the system's words.
        QCOMPARE(box->informativeText(),
            u"The icon container could not be saved. Please try again.\n\n"_s
                + (missingData ? u"The icon has no data."_s
                               : u"The file “Star.icns” couldn’t be saved: File too large"_s));
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(shown->isVisible());
        QCOMPARE(LibraryFixture::listing(folder()), existing ? QStringList { u"Space.ravivovode"_s } : QStringList());
        if (existing) {
            QCOMPARE(LibraryFixture::listing(destination), QStringList({ u"Old.icns"_s, u"info.json"_s }));
            QCOMPARE(LibraryFixture::readFile(destination + u"/info.json"_s), QByteArray("old"));
        }
        // "OK" closes the alert only.
        box->button(QMessageBox::Ok)->click();
        QVERIFY(!box->isVisible());
        QVERIFY(shown->isVisible());
    }

    // An icon file changed since the library was read: the alert says so, the library is read
    // again, and the next try exports the file as it is now, with the user's edits.
    void changedIconFileReloadsForTheNextTry()
    {
        m_fixture.reset();
        QVERIFY(QDir().mkpath(m_fixture.libraryFolder()));
        QVERIFY(LibraryWriter::saveContainer(space(), m_fixture.libraryFolder()));
        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded && loaded->size() == 1);
        const QString star = m_fixture.libraryFolder() + u"/Space.ravivovode/Star.icns"_s;
        QVERIFY(LibraryFixture::writeFile(star, icns(64)));

        QWidget window;
        window.show();
        const QString destination = folder() + u"/Space.ravivovode"_s;
        QPointer<ExportOptionsSheet> shown
            = ExportOptionsSheet::openForSelection(m_manager, &window, { loaded->constFirst().id });
        QVERIFY(shown);
        shown->setDestinationPicker([destination](QWidget *, const QString &) { return destination; });
        connect(shown, &ExportOptionsSheet::iconFilesChanged, &m_manager, &ContainerManager::loadLibrary);
        field(*shown, "authorName")->setText(u"Edited"_s);
        Q_EMIT field(*shown, "authorName")->textEdited(u"Edited"_s);
        QSignalSpy reloaded(&m_manager, &ContainerManager::containersChanged);
        shown->exportContainer();

        QMessageBox *box = shown->failureAlert();
        QVERIFY(box->isVisible());
        QVERIFY2(box->informativeText().endsWith(
                     u"The file “Star.icns” couldn’t be read: it has changed since the library was read"_s),
            qPrintable(box->informativeText()));
        QVERIFY(reloaded.wait(10000));
        box->button(QMessageBox::Ok)->click();
        shown->exportContainer();
        QTRY_VERIFY(!shown);
        QCOMPARE(LibraryFixture::readFile(destination + u"/Star.icns"_s), icns(64));
        QVERIFY(LibraryFixture::readFile(destination + u"/info.json"_s).contains("Edited"));
    }

    // An export over an earlier one replaces it whole: no icon file of the earlier one stays.
    void exportReplacesAnEarlierExport()
    {
        const QString destination = folder() + u"/Space.ravivovode"_s;
        QVERIFY(LibraryFixture::writeFile(destination + u"/Old.icns"_s, "old icon"));
        const auto shown = sheet(space(), destination);
        shown->exportContainer();
        QCOMPARE(shown->result(), int(QDialog::Accepted));
        QCOMPARE(LibraryFixture::listing(folder()), QStringList { u"Space.ravivovode"_s });
        QCOMPARE(LibraryFixture::listing(destination), QStringList({ u"Star.icns"_s, u"info.json"_s }));
    }

    // Exporting the same container again through the save dialog: it opens beside the earlier
    // export with the same name, never inside it, and asks before replacing it.
    void reExportThroughTheSaveDialog_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("replace") << true;
        QTest::newRow("keep") << false;
    }

    void reExportThroughTheSaveDialog()
    {
        QFETCH(bool, replace);
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QVERIFY(documents.startsWith(QDir::homePath()));
        const QString earlier = documents + u"/Space.ravivovode"_s;
        QVERIFY(QDir(earlier).removeRecursively());
        QVERIFY(LibraryFixture::writeFile(earlier + u"/Old.icns"_s, "old icon"));

        ExportOptionsSheet shown(space());
        shown.show();
        QString openedIn;
        QString proposed;
        QString asked;
        // The dialog runs its own event loop; answer it from there.
        QTimer::singleShot(0, &shown, [&] {
            auto *dialog = shown.findChild<ExportDestinationDialog *>();
            auto *field = dialog ? dialog->findChild<QLineEdit *>(u"fileNameEdit"_s) : nullptr;
            if (!field)
                return;
            openedIn = dialog->directory().absolutePath();
            proposed = field->text();
            QTest::keyClick(field, Qt::Key_Return);
            if (QMessageBox *question = dialog->replaceQuestion()) {
                asked = question->text();
                question->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
            }
            if (dialog->isVisible())
                dialog->reject();
        });
        shown.exportContainer();

        QCOMPARE(openedIn, documents);
        QCOMPARE(proposed, u"Space.ravivovode"_s);
        QVERIFY2(asked.contains(u"“Space.ravivovode”"_s), qPrintable(asked));
        QCOMPARE(LibraryFixture::listing(documents), QStringList { u"Space.ravivovode"_s });
        QCOMPARE(LibraryFixture::listing(earlier),
            replace ? QStringList({ u"Star.icns"_s, u"info.json"_s }) : QStringList { u"Old.icns"_s });
        QCOMPARE(shown.result(), int(replace ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(shown.isVisible(), !replace);
        QVERIFY(!alert(shown)->isVisible());
    }

    void cancelledDialogIsNoFailure()
    {
        int asked = 0;
        const auto shown = sheet(space(), {}, &asked);
        shown->exportContainer();
        QCOMPARE(asked, 1);
        QVERIFY(shown->isVisible());
        QVERIFY(!alert(*shown)->isVisible());
        QCOMPARE(LibraryFixture::listing(folder()), QStringList());
    }

    void withoutContainerNothingHappens()
    {
        int asked = 0;
        ExportOptionsSheet shown(std::nullopt);
        shown.setDestinationPicker([&asked](QWidget *, const QString &) {
            ++asked;
            return QString();
        });
        shown.show();
        shown.exportContainer();
        QCOMPARE(asked, 0);
        QVERIFY(!alert(shown)->isVisible());
    }

    // The export command opens the sheet only for exactly one selected container that the library holds.
    void openForSelection_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("opens");
        QTest::newRow("one") << 1 << true;
        QTest::newRow("two") << 2 << false;
        QTest::newRow("none") << 0 << false;
        QTest::newRow("one that the library lacks") << -1 << false;
    }

    void openForSelection()
    {
        QFETCH(int, selected);
        QFETCH(bool, opens);
        const IconContainer first = space();
        IconContainer second = space();
        second.id = QUuid::createUuid();
        m_manager.setContainers({ first, second });
        QSet<QUuid> selection;
        if (selected < 0)
            selection = { QUuid::createUuid() };
        if (selected >= 1)
            selection.insert(first.id);
        if (selected >= 2)
            selection.insert(second.id);

        QWidget window;
        window.show();
        QPointer<ExportOptionsSheet> sheet = ExportOptionsSheet::openForSelection(m_manager, &window, selection);
        QCOMPARE(bool(sheet), opens);
        QCOMPARE(window.findChildren<ExportOptionsSheet *>().size(), opens ? 1 : 0);
        if (!sheet)
            return;
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->container()->id, first.id);
        QCOMPARE(shownFields(*sheet), authorFields(first));
        sheet->reject();
        QTRY_VERIFY(!sheet);
    }

    void documentNames_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << u"Space"_s << u"Mine"_s << u"Space.ravivovode"_s << u"Mine.ravivovode"_s;
        QTest::newRow("extension kept") << u"Space"_s << u"Mine.ravivovode"_s << u"Space.ravivovode"_s
                                        << u"Mine.ravivovode"_s;
        QTest::newRow("title with a slash") << u"a/b"_s << u"a.b"_s << u"a_b.ravivovode"_s << u"a.b.ravivovode"_s;
        QTest::newRow("hidden title") << u".."_s << u"x"_s << u"_..ravivovode"_s << u"x.ravivovode"_s;
    }

    void documentNames()
    {
        QFETCH(QString, title);
        QFETCH(QString, chosen);
        QFETCH(QString, proposed);
        QFETCH(QString, written);
        IconContainer container = space();
        container.title = title;
        QString proposal;
        ExportOptionsSheet shown(container);
        shown.setDestinationPicker([&](QWidget *, const QString &name) {
            proposal = name;
            return folder() + u'/' + chosen;
        });
        shown.show();
        shown.exportContainer();
        QCOMPARE(proposal, proposed);
        QCOMPARE(LibraryFixture::listing(folder()), QStringList { written });
    }
};

QTEST_MAIN(TestExportOptionsSheet)
#include "tst_exportoptionssheet.moc"
