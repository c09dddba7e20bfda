// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/iconexporter.h"

#include "library/containermanager.h"
#include "library/librarywriter.h"
#include "library/settings.h"
#include "mainwindow/failurealert.h"
#include "platform/desktop/fileiconsetter.h"
#include "support/filesizelimit.h"
#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"
#include "support/settingsfixture.h"
#include "support/standardoutputcapture.h"

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QMutex>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

using namespace Qt::StringLiterals;

namespace {

// Keeps each custom icon as a picture file of its own, so that what a folder carries can be read back.
class PictureIconSetter : public FileIconSetter
{
public:
    explicit PictureIconSetter(const QString &store)
        : m_store(store)
    { }

    // Every later call fails, as with the picture store full.
    void fail() { m_failing = true; }

    bool setIcon(const std::optional<QImage> &image, const QString &path) override
    {
        const QMutexLocker lock(&m_mutex);
        if (m_failing)
            return false;
        if (!image) {
            m_pictures.remove(path);
            return true;
        }
        const QString picture = m_store + u'/' + QString::number(m_pictures.size()) + u".png"_s;
        m_pictures.insert(path, picture);
        return image->save(picture);
    }
    // The picture file of the item's custom icon; none when it has none.
    std::optional<QString> picture(const QString &path) const
    {
        const QMutexLocker lock(&m_mutex);
        const auto it = m_pictures.constFind(path);
        return it == m_pictures.cend() ? std::nullopt : std::optional(*it);
    }

private:
    QString m_store;
    mutable QMutex m_mutex;
    QHash<QString, QString> m_pictures;
    bool m_failing = false;
};

Icon icon(const QString &name, const QUuid &container, IconFileType type = IconFileType::image, bool withData = true)
{
    const QByteArray png = IcnsBuilder::png(IcnsBuilder::pattern(32, 32));
    const QByteArray icns = IcnsBuilder().add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(128, 128))).build();
    const bool isIcns = type == IconFileType::icns;
    return Icon { .id = QUuid::createUuid(),
        .containerID = container,
        .name = name,
        .type = type,
        .icnsData = isIcns && withData ? std::optional(icns) : std::nullopt,
        .imageData = !isIcns && withData ? std::optional(png) : std::nullopt };
}

QStringList names(const QList<Icon> &icons)
{
    QStringList result;
    for (const Icon &icon : icons)
        result << icon.name;
    return result;
}

} // namespace

class TestIconExporter : public QObject
{
    Q_OBJECT

private:
    LibraryFixture m_fixture;
    SettingsFixture m_settings;
    QTemporaryDir m_temp;
    QTemporaryDir m_pictures;
    std::unique_ptr<QTemporaryDir> m_destination;
    std::shared_ptr<PictureIconSetter> m_setter;
    ContainerManager m_manager;

    // Two containers, Space (Star, Moon) and Sea (Fish, Crab), in that library order.
    QList<IconContainer> library()
    {
        IconContainer space { .title = u"Space"_s };
        space.icons = { icon(u"Star"_s, space.id), icon(u"Moon"_s, space.id) };
        IconContainer sea { .title = u"Sea"_s };
        sea.icons = { icon(u"Fish"_s, sea.id), icon(u"Crab"_s, sea.id) };
        return { space, sea };
    }

    void publish(const QList<IconContainer> &containers)
    {
        QSet<IconLookup> lookups;
        for (const IconContainer &container : containers) {
            for (const Icon &each : container.icons)
                lookups.insert({ each.id, container.id });
        }
        m_manager.setContainers(containers);
        m_manager.setIconLookupSet(lookups);
    }

    QString destination() const { return m_destination->path(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_fixture.isValid() && m_settings.isValid() && m_temp.isValid() && m_pictures.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
    }

    void init()
    {
        m_settings.clear();
        m_setter = std::make_shared<PictureIconSetter>(m_pictures.path());
        m_destination = std::make_unique<QTemporaryDir>();
        QVERIFY(m_destination->isValid());
    }

    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void exportItems_data()
    {
        // Icons by name: a selection of icons (in the order selected) and of containers.
        QTest::addColumn<QStringList>("selectedIcons");
        QTest::addColumn<QStringList>("selectedContainers");
        QTest::addColumn<QStringList>("exported");
        QTest::newRow("icons in the order selected, across containers") << QStringList { u"Crab"_s, u"Star"_s,
            u"Fish"_s } << QStringList { u"Space"_s } << QStringList { u"Crab"_s, u"Star"_s, u"Fish"_s };
        QTest::newRow("no icon: every icon of the selected containers, in library order")
            << QStringList() << QStringList { u"Sea"_s, u"Space"_s }
            << QStringList { u"Star"_s, u"Moon"_s, u"Fish"_s, u"Crab"_s };
        QTest::newRow("icons that no longer resolve count as none")
            << QStringList { u"gone"_s } << QStringList { u"Sea"_s } << QStringList { u"Fish"_s, u"Crab"_s };
        QTest::newRow("nothing selected") << QStringList() << QStringList() << QStringList();
    }

    void exportItems()
    {
        QFETCH(QStringList, selectedIcons);
        QFETCH(QStringList, selectedContainers);
        QFETCH(QStringList, exported);
        const QList<IconContainer> containers = library();
        publish(containers);
        IconSelection iconSelection;
        for (const QString &name : std::as_const(selectedIcons)) {
            QUuid id = QUuid::createUuid();
            for (const IconContainer &container : containers) {
                for (const Icon &each : container.icons) {
                    if (each.name == name)
                        id = each.id;
                }
            }
            iconSelection.insert(id);
        }
        QSet<QUuid> containerSelection;
        for (const IconContainer &container : containers) {
            if (selectedContainers.contains(container.title))
                containerSelection.insert(container.id);
        }
        QCOMPARE(names(IconExporter::exportItems(m_manager, iconSelection, containerSelection)), exported);
    }

    // As data: each icon a file of its own kind; a taken name, in the folder or by an earlier icon, is numbered.
    void writesDataFiles()
    {
        m_settings.settings().defaultDragAndDropFormat().write(DragAndDropIconFormat::image);
        QVERIFY(LibraryFixture::writeFile(destination() + u"/Star.png"_s, "keep"));
        const QUuid id = QUuid::createUuid();
        const QList<Icon> icons = { icon(u"Star"_s, id), icon(u"Star"_s, id), icon(u"Moon"_s, id, IconFileType::icns),
            icon(u"../Up"_s, id) };

        IconExporter exporter(m_setter, m_settings.settings());
        exporter.setFolderPicker([this](QWidget *) { return destination(); });
        StandardOutputCapture output;
        exporter.exportIcons(icons);

        const QString base = QUrl::fromLocalFile(destination()).toString(QUrl::FullyEncoded);
        QCOMPARE(output.takeLines(),
            QStringList {
                u"Saved icons to [%1/Star%202.png, %1/Star%203.png, %1/Moon.icns, %1/_._Up.png]"_s.arg(base) });
        QStringList listing = LibraryFixture::listing(destination());
        listing.sort();
        QCOMPARE(
            listing, QStringList({ u"Moon.icns"_s, u"Star 2.png"_s, u"Star 3.png"_s, u"Star.png"_s, u"_._Up.png"_s }));
        QCOMPARE(LibraryFixture::readFile(destination() + u"/Star.png"_s), QByteArray("keep"));
        QCOMPARE(LibraryFixture::readFile(destination() + u"/Moon.icns"_s), icons.at(2).icnsData.read().value());
        QCOMPARE(LibraryFixture::readFile(destination() + u"/Star 2.png"_s), icons.at(0).imageData.read().value());
    }

    // As folders (the default): each a folder carrying the icon's picture as its custom icon.
    void writesFolders()
    {
        const QUuid id = QUuid::createUuid();
        const QList<Icon> icons = { icon(u"Moon"_s, id, IconFileType::icns) };
        const auto urls = IconExporter::writeIcons(icons, destination(), m_setter, m_settings.settings());
        QVERIFY(urls);
        QCOMPARE(urls.value(), QList<QUrl> { QUrl::fromLocalFile(destination() + u"/Moon/"_s) });
        QVERIFY(QFileInfo(destination() + u"/Moon"_s).isDir());
        const auto picture = m_setter->picture(destination() + u"/Moon"_s);
        QVERIFY(picture);
        QCOMPARE(QImage(*picture).size(), QSize(128, 128));
        // Written in place, not by way of a drag's folder (whose export would run on the pool).
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(QDir(m_temp.path()).entryList({ u"glimbar-*"_s }, QDir::AllEntries | QDir::Hidden), QStringList());
    }

    // A folder whose icon is not set is a failed item, never an empty folder reported as saved.
    void folderWithoutPictureFails_data()
    {
        QTest::addColumn<bool>("setterFails");
        QTest::addColumn<bool>("withData");

        QTest::newRow("icon not set") << true << true;
        QTest::newRow("icon without picture") << false << false;
    }

    void folderWithoutPictureFails()
    {
        QFETCH(bool, setterFails);
        QFETCH(bool, withData);
        QVERIFY(LibraryFixture::writeFile(destination() + u"/Old.png"_s, "keep"));
        const QUuid id = QUuid::createUuid();
        const QList<Icon> icons = { icon(u"Star"_s, id), icon(u"Moon"_s, id, IconFileType::icns, withData) };
        if (setterFails)
            m_setter->fail();

        IconExporter exporter(m_setter, m_settings.settings());
        exporter.setFolderPicker([this](QWidget *) { return destination(); });
        StandardOutputCapture output;
        exporter.exportIcons(icons);

        QCOMPARE(output.takeLines(),
            QStringList { setterFails ? u"The icon “Star” couldn’t be exported."_s
                                      : u"The icon “Moon” couldn’t be exported."_s });
        QCOMPARE(LibraryFixture::listing(destination()), QStringList { u"Old.png"_s });
    }

    // A failure part-way removes what this export wrote and leaves what was there.
    void failureLeavesTheFolderAsItWas()
    {
        m_settings.settings().defaultDragAndDropFormat().write(DragAndDropIconFormat::image);
        QVERIFY(LibraryFixture::writeFile(destination() + u"/Old.png"_s, "keep"));
        const QUuid id = QUuid::createUuid();
        const QList<Icon> icons = { icon(u"Star"_s, id), icon(u"Empty"_s, id, IconFileType::image, false) };

        IconExporter exporter(m_setter, m_settings.settings());
        exporter.setFolderPicker([this](QWidget *) { return destination(); });
        StandardOutputCapture output;
        exporter.exportIcons(icons);

        QCOMPARE(output.takeLines(), QStringList { errorDescription(ContainerError::missingIconData) });
        QCOMPARE(LibraryFixture::listing(destination()), QStringList { u"Old.png"_s });
    }

    // A write the system refuses gives the system's reason, and leaves nothing behind.
    void failedWriteGivesTheSystemsReason()
    {
        m_settings.settings().defaultDragAndDropFormat().write(DragAndDropIconFormat::image);
        const QList<Icon> icons = { icon(u"Star"_s, QUuid::createUuid()) };
        Result<QList<QUrl>, QString> result = QList<QUrl>();
        {
            const FileSizeLimit limit(16);
            result = IconExporter::writeIcons(icons, destination(), m_setter, m_settings.settings());
        }
        QVERIFY(!result);
        QCOMPARE(result.error(), u"The file “Star.png” couldn’t be saved: File too large"_s);
        QCOMPARE(LibraryFixture::listing(destination()), QStringList());
    }

    // What fails is shown over the window, in the reader's or the system's words; an icon whose file
    // changed since the library was read says so and asks for the library to be read again.
    void failureIsShownOverTheWindow_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("reload");
        QTest::newRow("file changed since the load")
            << true << u"The file “Star.png” couldn’t be read: it has changed since the library was read"_s << true;
        QTest::newRow("full disk") << false << u"The file “Star.png” couldn’t be saved: File too large"_s << false;
    }

    void failureIsShownOverTheWindow()
    {
        QFETCH(bool, changed);
        QFETCH(QString, reason);
        QFETCH(bool, reload);
        m_fixture.reset();
        m_settings.settings().defaultDragAndDropFormat().write(DragAndDropIconFormat::image);
        IconContainer space { .title = u"Space"_s };
        space.icons = { icon(u"Star"_s, space.id) };
        QVERIFY(QDir().mkpath(m_fixture.libraryFolder()));
        QVERIFY(LibraryWriter::saveContainer(space, m_fixture.libraryFolder()));
        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded && loaded->size() == 1);
        if (changed) {
            QVERIFY(LibraryFixture::writeFile(m_fixture.libraryFolder() + u"/Space.ravivovode/Star.png"_s,
                IcnsBuilder::png(IcnsBuilder::pattern(8, 8))));
        }

        QWidget window;
        window.show();
        IconExporter exporter(m_setter, m_settings.settings(), &window);
        exporter.setFolderPicker([this](QWidget *) { return destination(); });
        QSignalSpy reloads(&exporter, &IconExporter::iconFilesChanged);
        StandardOutputCapture output;
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (!changed)
                limit = std::make_unique<FileSizeLimit>(200);
            exporter.exportIcons(loaded->constFirst().icons);
        }
        const QStringList printed = output.takeLines();
        QVERIFY2(printed.contains(reason), qPrintable(printed.join(u'\n')));
        FailureAlert *alert = exporter.alert();
        QVERIFY(alert && alert->isVisible());
        QCOMPARE(alert->parentWidget(), &window);
        QCOMPARE(alert->text(), u"The icons couldn’t be exported."_s);
        QCOMPARE(alert->informativeText(), reason);
        QCOMPARE(reloads.size(), reload ? 1 : 0);
        QCOMPARE(LibraryFixture::listing(destination()), QStringList());
        alert->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(!exporter.alert());
    }

    void cancelledDialogWritesNothing()
    {
        IconExporter exporter(m_setter, m_settings.settings());
        exporter.setFolderPicker([](QWidget *) { return QString(); });
        StandardOutputCapture output;
        exporter.exportIcons({ icon(u"Star"_s, QUuid::createUuid()) });
        QCOMPARE(output.takeLines(), QStringList());
        QCOMPARE(LibraryFixture::listing(destination()), QStringList());
    }
};

QTEST_MAIN(TestIconExporter)
#include "tst_iconexporter.moc"
