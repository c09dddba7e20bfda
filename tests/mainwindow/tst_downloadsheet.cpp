// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/downloadpresenter.h"
#include "mainwindow/downloadsheet.h"

#include "library/containerdownload.h"
#include "library/containermanager.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/failurealert.h"
#include "model/containerjson.h"
#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"
#include "support/standardoutputcapture.h"
#include "support/testhttpsserver.h"
#include "support/zipwriter.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

using namespace Qt::StringLiterals;

namespace {

QByteArray icns()
{
    return IcnsBuilder().add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(128, 128))).build();
}

IconContainer container(const QString &title, int icons)
{
    IconContainer result { .title = title, .authorName = u"Ann"_s };
    for (int i = 0; i < icons; ++i) {
        result.icons.append(Icon { .id = QUuid::createUuid(),
            .containerID = result.id,
            .name = u"Icon %1"_s.arg(i),
            .type = IconFileType::icns,
            .icnsData = icns() });
    }
    return result;
}

QString labelText(const QDialog &sheet, const char *name)
{
    const auto *label = sheet.findChild<QLabel *>(QString::fromLatin1(name));
    return label && label->isVisibleTo(&sheet) ? label->text() : QString();
}

} // namespace

class TestDownloadSheet : public QObject
{
    Q_OBJECT

private:
    LibraryFixture m_fixture;
    QTemporaryDir m_temp;
    ContainerManager m_manager;
    ThumbnailProvider m_thumbnails;

private slots:
    void initTestCase()
    {
        QVERIFY(m_fixture.isValid() && m_temp.isValid());
        // The download unpacks into the temporary folder.
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
    }

    void init()
    {
        m_fixture.reset();
        m_manager.setContainers({});
    }

    void showsTheContainer()
    {
        // Markup in a stranger's title stays text.
        const QString title = u"<b>Space</b> & <img src=x> *stars*"_s;
        DownloadSheet sheet(container(title, 3), m_manager, m_thumbnails);
        sheet.show();
        const auto *titleLabel = sheet.findChild<QLabel *>(u"title"_s);
        QCOMPARE(titleLabel->textFormat(), Qt::PlainText);
        QCOMPARE(titleLabel->text(), title);
        QCOMPARE(labelText(sheet, "author"), u"by Ann"_s);
        QCOMPARE(labelText(sheet, "iconCount"), u"3 icons"_s);
        QCOMPARE(sheet.findChild<QListWidget *>()->count(), 3);
        QTRY_VERIFY(!sheet.findChild<QListWidget *>()->item(2)->icon().isNull());
        QThreadPool::globalInstance()->waitForDone();
    }

    void withoutContainerOnlyCloses()
    {
        DownloadSheet sheet(std::nullopt, m_manager, m_thumbnails);
        sheet.show();
        QVERIFY(!labelText(sheet, "title").isEmpty());
        QVERIFY(!sheet.findChild<QPushButton *>(u"addToLibrary"_s)->isVisible());
        sheet.addToLibrary();
        QCOMPARE(LibraryFixture::listing(m_fixture.libraryFolder()), QStringList());
    }

    void closesWithoutSaving_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Close") << false;
        QTest::newRow("Escape") << true;
    }

    void closesWithoutSaving()
    {
        QFETCH(bool, escape);
        DownloadSheet sheet(container(u"Space"_s, 1), m_manager, m_thumbnails);
        sheet.show();
        if (escape) {
            QTest::keyClick(&sheet, Qt::Key_Escape);
        } else {
            const auto buttons = sheet.findChildren<QPushButton *>();
            const auto close = std::find_if(
                buttons.cbegin(), buttons.cend(), [](const QPushButton *button) { return button->text() == u"Close"; });
            QVERIFY(close != buttons.cend());
            (*close)->click();
        }
        QVERIFY(!sheet.isVisible());
        QCOMPARE(sheet.result(), int(QDialog::Rejected));
        QCOMPARE(LibraryFixture::listing(m_fixture.libraryFolder()), QStringList());
    }

    void addsToTheLibraryOnce()
    {
        DownloadSheet sheet(container(u"Space"_s, 2), m_manager, m_thumbnails);
        sheet.show();
        QSignalSpy published(&m_manager, &ContainerManager::containersChanged);
        sheet.findChild<QPushButton *>(u"addToLibrary"_s)->click();
        sheet.addToLibrary();
        QVERIFY(published.wait(5000));
        QVERIFY(!published.wait(300));
        QCOMPARE(published.count(), 1);
        QVERIFY(!sheet.isVisible());
        QCOMPARE(m_manager.containers().size(), 1);
        QCOMPARE(m_manager.containers().constFirst().title, u"Space"_s);
        QCOMPARE(m_manager.containers().constFirst().icons.size(), 2);
    }

    // A save that fails keeps the sheet, with an alert over it that says why; the user can try again.
    void failedAddKeepsTheSheet()
    {
        // The Library folder cannot be made where a file stands.
        QVERIFY(LibraryFixture::writeFile(m_fixture.libraryFolder(), "not a folder"));
        QWidget window;
        window.show();
        auto *sheet = new DownloadSheet(container(u"Space"_s, 1), m_manager, m_thumbnails, &window);
        sheet->open();
        QSignalSpy errors(&m_manager, &ContainerManager::errorChanged);
        StandardOutputCapture output;
        auto *add = sheet->findChild<QPushButton *>(u"addToLibrary"_s);
        add->click();
        QVERIFY(!add->isEnabled());
        QTRY_VERIFY(sheet->alert());
        QVERIFY(sheet->alert()->isVisible());
        QCOMPARE(sheet->alert()->parentWidget(), sheet);
        QCOMPARE(sheet->alert()->text(), errorDescription(ContainerError::libraryError));
        QCOMPARE(sheet->alert()->informativeText(), u"The folder “Library” couldn’t be created: Not a directory"_s);
        QCOMPARE(m_manager.error(), std::optional(ContainerError::libraryError));
        QCOMPARE(errors.size(), 1);
        QVERIFY(sheet->isVisible());
        QVERIFY(add->isEnabled());
        sheet->alert()->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(!sheet->alert());

        QVERIFY(QFile::remove(m_fixture.libraryFolder()));
        QSignalSpy finished(sheet, &QDialog::finished);
        add->click();
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.constFirst().at(0).toInt(), int(QDialog::Accepted));
        QCOMPARE(LibraryFixture::listing(m_fixture.libraryFolder()), QStringList { u"Space.ravivovode"_s });
    }

    // Whatever ends a download without a container shows one alert over the window: the library's
    // error, and why in the system's words.
    void failedDownloadShowsAnAlert_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("listening");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        const int invalid = int(ContainerError::invalidURL);
        const int failed = int(ContainerError::downloadFailed);
        QTest::newRow("address of plain http") << u"http://127.0.0.1:PORT/space.zip"_s << true << invalid
                                               << u"glimbar://download/example.org/packs/space.ravivovode"_s;
        QTest::newRow("nothing listening")
            << u"127.0.0.1:PORT/space.zip"_s << false << failed << u"Couldn't connect to server"_s;
        QTest::newRow("status 404") << u"127.0.0.1:PORT/missing.zip"_s << true << failed
                                    << u"The server answered with status 404."_s;
        QTest::newRow("not a container") << u"127.0.0.1:PORT/notes.zip"_s << true << failed
                                         << u"The archive could not be read: Unrecognized archive format"_s;
    }

    void failedDownloadShowsAnAlert()
    {
        QFETCH(QString, path);
        QFETCH(bool, listening);
        QFETCH(int, error);
        QFETCH(QString, reason);
        TestHttpsServer server;
        QVERIFY2(server.isListening(), qPrintable(server.errorString()));
        server.setResponse("/missing.zip", { .status = 404, .body = "Not here" });
        server.setResponse("/notes.zip", { .status = 200, .body = "shopping: milk, bread" });
        QTemporaryDir caFolder;
        QVERIFY(caFolder.isValid());
        const QString caFile = caFolder.filePath(u"ca.pem"_s);
        QVERIFY(server.writeCertificate(caFile));
        ContainerDownload::Options options;
        options.fetchLimits.caFile = caFile;
        m_manager.setDownloadOptions(options);
        quint16 port = server.port();
        if (!listening) {
            // A port that was just free: nothing answers there.
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            port = closed.serverPort();
        }
        path.replace(u"PORT"_s, QString::number(port));

        QWidget window;
        window.show();
        DownloadPresenter presenter(m_manager, m_thumbnails, &window);
        QSignalSpy shown(&presenter, &DownloadPresenter::failureShown);
        QSignalSpy opened(&presenter, &DownloadPresenter::sheetOpened);
        StandardOutputCapture output;
        presenter.openLink(u"glimbar://download/"_s + path);
        QVERIFY(shown.wait(20000));
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();

        QCOMPARE(shown.size(), 1);
        QCOMPARE(opened.size(), 0);
        QCOMPARE(m_manager.error(), std::optional(ContainerError(error)));
        FailureAlert *alert = presenter.alert();
        QVERIFY(alert && alert->isVisible());
        QCOMPARE(alert->parentWidget(), &window);
        QCOMPARE(alert->text(), errorDescription(ContainerError(error)));
        QVERIFY2(alert->informativeText().contains(reason, Qt::CaseInsensitive), qPrintable(alert->informativeText()));
        QCOMPARE(window.findChildren<QMessageBox *>().size(), 1);
        alert->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(!presenter.alert());
        m_manager.setDownloadOptions({});
        m_manager.setError(std::nullopt);
    }

    // A link over the test server's HTTPS opens the sheet with what arrived.
    void linkOpensTheSheet()
    {
        TestHttpsServer server;
        QVERIFY2(server.isListening(), qPrintable(server.errorString()));
        const IconContainer sent = container(u"Space"_s, 2);
        ZipWriter zip;
        zip.file("info.json", encodeContainerJson(sent).value());
        for (const Icon &icon : sent.icons)
            zip.file(icon.name.toUtf8() + ".icns", icns());
        server.setResponse("/space.zip", { .status = 200, .body = zip.build() });
        QTemporaryDir caFolder;
        QVERIFY(caFolder.isValid());
        const QString caFile = caFolder.filePath(u"ca.pem"_s);
        QVERIFY(server.writeCertificate(caFile));
        ContainerDownload::Options options;
        options.fetchLimits.caFile = caFile;
        m_manager.setDownloadOptions(options);

        QWidget window;
        window.show();
        DownloadPresenter presenter(m_manager, m_thumbnails, &window);
        QSignalSpy opened(&presenter, &DownloadPresenter::sheetOpened);
        StandardOutputCapture output;
        presenter.openLink(u"glimbar://download/127.0.0.1:%1/space.zip"_s.arg(server.port()));
        QVERIFY(opened.wait(20000));

        DownloadSheet *sheet = presenter.sheet();
        QVERIFY(sheet && sheet->isVisible());
        QCOMPARE(sheet->parentWidget(), &window);
        QCOMPARE(labelText(*sheet, "title"), u"Space"_s);
        QCOMPARE(labelText(*sheet, "iconCount"), u"2 icons"_s);
        QCOMPARE(presenter.containerToDownload()->icons.size(), 2);
        sheet->close();
        m_manager.setDownloadOptions({});
        QThreadPool::globalInstance()->waitForDone();
    }
};

QTEST_MAIN(TestDownloadSheet)
#include "tst_downloadsheet.moc"
