// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/legacyimporter.h"

#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"
#include "support/standardoutputcapture.h"
#include "support/typedstreamwriter.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <limits>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// Three icons a, b and c, in that order, with nothing but their type.
ArchivedValue threeIcons()
{
    const ArchivedValue icon = ts::dict({ { "Type", ts::str("IcnsFile") } });
    return ts::dict({ { "a", icon }, { "b", icon }, { "c", icon } });
}

QString optionalBytes(const std::optional<QByteArray> &bytes)
{
    return bytes ? QString::fromLatin1(*bytes) : u"none"_s;
}

QString iconNames(const IconContainer &container)
{
    QStringList names;
    for (const Icon &icon : container.icons)
        names << icon.name;
    return names.join(u',');
}

// One field of an imported container as text.
QString containerField(const IconContainer &container, const QString &field)
{
    if (field == u"authorName")
        return container.authorName;
    if (field == u"authorURL")
        return container.authorURL;
    if (field == u"authorEmail")
        return container.authorEmail;
    if (field == u"copyright")
        return container.copyright;
    if (field == u"authoringLock")
        return container.authoringLock ? u"true"_s : u"false"_s;
    if (field == u"customIcon")
        return optionalBytes(container.customIcon);
    if (field == u"icons")
        return iconNames(container);
    if (field == u"backgroundColor") {
        if (!container.backgroundColor)
            return u"none"_s;
        const RGBAColor &c = *container.backgroundColor;
        return u"%1,%2,%3,%4"_s.arg(c.red).arg(c.green).arg(c.blue).arg(c.alpha);
    }
    return u"unknown field "_s + field;
}

// Every field of an imported icon that the archive supplies.
QString iconFields(const Icon &icon)
{
    return u"%1 icns=%2 image=%3 author=%4 copyright=%5 url=%6"_s.arg(
        icon.type == IconFileType::icns ? u"icns"_s : u"image"_s, optionalBytes(icon.icnsData.read()),
        optionalBytes(icon.imageData.read()), icon.author, icon.copyright, icon.authorURL);
}

} // namespace

class TestLegacyImport : public QObject
{
    Q_OBJECT

private:
    LibraryFixture m_fixture;
    std::unique_ptr<QTemporaryDir> m_dir;
    ContainerManager m_manager;

    QString writeArchive(const QByteArray &bytes, const QString &fileName = u"Space.ravivovode"_s)
    {
        const QString path = m_dir->filePath(fileName);
        return LibraryFixture::writeFile(path, bytes) ? path : QString();
    }

    std::optional<IconContainer> import(const ArchivedValue &root, const QString &fileName = u"Space.ravivovode"_s)
    {
        return m_manager.importLegacyContainer(writeArchive(TypedStreamWriter::archive(root), fileName));
    }

    static QByteArray sampleIcns()
    {
        return IcnsBuilder()
            .add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(128, 128)))
            .add("ic08", IcnsBuilder::png(IcnsBuilder::pattern(256, 256)))
            .build();
    }

private slots:
    void initTestCase() { QVERIFY(m_fixture.isValid()); }
    void init()
    {
        m_fixture.reset();
        m_dir = std::make_unique<QTemporaryDir>();
    }

    void containerKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<ArchivedValue>("value");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        const ArchivedValue number = ts::integer(7);
        for (const char *key : { "AuthorName", "AuthorURL", "AuthorEmail", "Copyright" }) {
            QString field = QString::fromLatin1(key);
            field[0] = field[0].toLower();
            QTest::addRow("%s", key) << QString::fromLatin1(key) << ts::str("Ann") << field << u"Ann"_s;
            QTest::addRow("%s not a string", key) << QString::fromLatin1(key) << number << field << QString();
        }
        QTest::newRow("AuthoringLock") << u"AuthoringLock"_s << ts::boolean(true) << u"authoringLock"_s << u"true"_s;
        QTest::newRow("AuthoringLock as number 1")
            << u"AuthoringLock"_s << ts::integer(1) << u"authoringLock"_s << u"true"_s;
        QTest::newRow("AuthoringLock not a boolean")
            << u"AuthoringLock"_s << ts::str("YES") << u"authoringLock"_s << u"false"_s;
        const ArchivedValue five = ts::array({ ts::real(1), ts::real(0.5), ts::real(0), ts::real(1), ts::real(7) });
        QTest::newRow("BackgroundColor, further elements ignored")
            << u"BackgroundColor"_s << five << u"backgroundColor"_s << u"1,0.5,0,1"_s;
        QTest::newRow("BackgroundColor of integers")
            << u"BackgroundColor"_s << ts::array({ ts::integer(1), ts::integer(0), ts::integer(0), ts::integer(1) })
            << u"backgroundColor"_s << u"1,0,0,1"_s;
        QTest::newRow("BackgroundColor of three")
            << u"BackgroundColor"_s << ts::array({ ts::real(1), ts::real(0.5), ts::real(0) }) << u"backgroundColor"_s
            << u"none"_s;
        QTest::newRow("BackgroundColor empty")
            << u"BackgroundColor"_s << ts::array({}) << u"backgroundColor"_s << u"none"_s;
        QTest::newRow("BackgroundColor with text")
            << u"BackgroundColor"_s << ts::array({ ts::real(1), ts::real(0.5), ts::real(0), ts::real(1), ts::str("x") })
            << u"backgroundColor"_s << u"none"_s;
        QTest::newRow("BackgroundColor with an infinite component")
            << u"BackgroundColor"_s
            << ts::array({ ts::real(1), ts::real(std::numeric_limits<double>::infinity()), ts::real(0), ts::real(1) })
            << u"backgroundColor"_s << u"none"_s;
        QTest::newRow("BackgroundColor with NaN")
            << u"BackgroundColor"_s
            << ts::array({ ts::real(1), ts::real(0), ts::real(std::numeric_limits<double>::quiet_NaN()), ts::real(1) })
            << u"backgroundColor"_s << u"none"_s;
        QTest::newRow("BackgroundColor not an array")
            << u"BackgroundColor"_s << ts::str("red") << u"backgroundColor"_s << u"none"_s;
        QTest::newRow("CustomIcon") << u"CustomIcon"_s << ts::bytes("picture") << u"customIcon"_s << u"picture"_s;
        QTest::newRow("CustomIcon not bytes") << u"CustomIcon"_s << ts::str("picture") << u"customIcon"_s << u"none"_s;
        QTest::newRow("IconOrder") << u"IconOrder"_s << ts::array({ ts::str("b"), ts::str("a") }) << u"icons"_s
                                   << u"b,a,c"_s;
        QTest::newRow("IconOrder with repeats and strangers")
            << u"IconOrder"_s << ts::array({ ts::str("c"), ts::str("x"), ts::str("c"), ts::str("A") }) << u"icons"_s
            << u"c,a,b"_s;
        QTest::newRow("IconOrder a single string") << u"IconOrder"_s << ts::str("c") << u"icons"_s << u"a,b,c"_s;
        QTest::newRow("IconOrder holding a number")
            << u"IconOrder"_s << ts::array({ ts::str("c"), ts::integer(1) }) << u"icons"_s << u"a,b,c"_s;
    }

    void containerKeys()
    {
        QFETCH(QString, key);
        QFETCH(ArchivedValue, value);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        const QByteArray keyText = key.toLatin1();
        const auto container = import(ts::dict({ { "Icons", threeIcons() }, { keyText.constData(), value } }));
        QVERIFY(container);
        QCOMPARE(containerField(*container, field), expected);

        // Without the key every field takes its fallback.
        const auto bare = import(ts::dict({ { "Icons", threeIcons() } }));
        QVERIFY(bare);
        const QString fallback = field == u"icons"                  ? u"a,b,c"_s
            : field == u"authoringLock"                             ? u"false"_s
            : field == u"backgroundColor" || field == u"customIcon" ? u"none"_s
                                                                    : QString();
        QCOMPARE(containerField(*bare, field), fallback);
    }

    void iconKeys_data()
    {
        QTest::addColumn<ArchivedValue>("entry");
        QTest::addColumn<QString>("expected");
        QTest::newRow("PngFile") << ts::dict({ { "Type", ts::str("PngFile") }, { "PngData", ts::bytes("png") } })
                                 << u"image icns=none image=png author= copyright= url="_s;
        QTest::newRow("IcnsFile") << ts::dict({ { "Type", ts::str("IcnsFile") }, { "IcnsData", ts::bytes("icns") } })
                                  << u"icns icns=icns image=none author= copyright= url="_s;
        QTest::newRow("no Type") << ts::dict({ { "IcnsData", ts::bytes("icns") }, { "PngData", ts::bytes("png") } })
                                 << u"icns icns=icns image=png author= copyright= url="_s;
        QTest::newRow("other Type text") << ts::dict({ { "Type", ts::str("pngfile") } })
                                         << u"icns icns=none image=none author= copyright= url="_s;
        QTest::newRow("Type not text") << ts::dict({ { "Type", ts::integer(1) } })
                                       << u"icns icns=none image=none author= copyright= url="_s;
        QTest::newRow("PngFile with ICNS data only")
            << ts::dict({ { "Type", ts::str("PngFile") }, { "IcnsData", ts::bytes("icns") } })
            << u"image icns=icns image=none author= copyright= url="_s;
        QTest::newRow("data not bytes") << ts::dict(
            { { "Type", ts::str("IcnsFile") }, { "IcnsData", ts::str("icns") }, { "PngData", ts::integer(3) } })
                                        << u"icns icns=none image=none author= copyright= url="_s;
        QTest::newRow("credits") << ts::dict({ { "Author", ts::str("Ann") }, { "Copyright", ts::str("© Ann") },
            { "AuthorURL", ts::str("https://example.org") } })
                                 << u"icns icns=none image=none author=Ann copyright=© Ann url=https://example.org"_s;
        QTest::newRow("credits not text") << ts::dict(
            { { "Author", ts::integer(1) }, { "Copyright", ts::bytes("x") }, { "AuthorURL", ts::array({}) } })
                                          << u"icns icns=none image=none author= copyright= url="_s;
    }

    void iconKeys()
    {
        QFETCH(ArchivedValue, entry);
        QFETCH(QString, expected);
        const auto container = import(ts::dict({ { "Icons", ts::dict({ { "Star", entry } }) } }));
        QVERIFY(container);
        QCOMPARE(container->icons.size(), 1);
        QCOMPARE(container->icons.first().name, u"Star"_s);
        QCOMPARE(iconFields(container->icons.first()), expected);
    }

    void valuesNoKeySupplies()
    {
        const ArchivedValue root = ts::dict({ { "Icons",
            ts::dict({ { "Star",
                ts::dict({ { "Type", ts::str("IcnsFile") }, { "IcnsData", ts::bytes(sampleIcns()) } }) } }) } });
        StandardOutputCapture output;
        const auto first = import(root, u"My.Set.ravivovode"_s);
        const auto second = import(root, u"My.Set.ravivovode"_s);
        QVERIFY(first && second);
        QCOMPARE(first->title, u"My.Set"_s);
        QCOMPARE(first->collectionID, QString());
        QCOMPARE(first->collectionVersion, QString());
        QCOMPARE(first->containerVersion, 4);
        QVERIFY(first->id != second->id);
        const Icon &star = first->icons.first();
        QCOMPARE(star.containerID, first->id);
        QVERIFY(star.id != second->icons.first().id);
        QCOMPARE(star.filename, std::nullopt);
        // Built through the icon initializer, so the previews are there.
        QCOMPARE(star.previewReps().size(), 6);
        QCOMPARE(output.takeLines(), QStringList());
    }

    void entriesOfTheWrongKindAreSkipped()
    {
        const ArchivedValue icon = ts::dict({ { "Type", ts::str("IcnsFile") } });
        ArchivedValue::Dictionary icons { { ts::str("a"), icon }, { ts::integer(5), icon },
            { ts::str("b"), ts::str("not a dictionary") }, { ts::str("c"), icon } };
        StandardOutputCapture output;
        const auto container = import(ts::dict({ { "Icons", ArchivedValue::dictionary(icons) } }));
        QVERIFY(container);
        QCOMPARE(iconNames(*container), u"a,c"_s);
        QCOMPARE(output.takeLines(), QStringList());
    }

    void emptyIcons()
    {
        const auto container = import(ts::dict({ { "Icons", ts::dict({}) } }));
        QVERIFY(container);
        QVERIFY(container->icons.isEmpty());
    }

    // Icons that share one data object, stored once, import as long as the copies written out stay
    // within the bound; past it nothing is imported.
    void sharedDataIsBoundedByWhatItWrites_data()
    {
        QTest::addColumn<int>("icons");
        QTest::addColumn<qsizetype>("dataSize");
        QTest::addColumn<bool>("imports");
        QTest::newRow("40 sharers of 47 KB") << 40 << qsizetype(47 * 1000) << true;
        QTest::newRow("at the bound") << 4096 << qsizetype(64 * 1024) << true;
        QTest::newRow("past the bound") << 4097 << qsizetype(64 * 1024) << false;
    }

    void sharedDataIsBoundedByWhatItWrites()
    {
        QFETCH(int, icons);
        QFETCH(qsizetype, dataSize);
        QFETCH(bool, imports);
        const QByteArray bytes = TypedStreamWriter::archive(ts::sharedDataCollection(icons, dataSize));
        QVERIFY(bytes.size() * LegacyImporter::dataExpansion < LegacyImporter::minDataBound);
        StandardOutputCapture output;
        const auto container = m_manager.importLegacyContainer(writeArchive(bytes));
        QCOMPARE(bool(container), imports);
        if (container) {
            QCOMPARE(container->icons.size(), icons);
            QCOMPARE(container->icons.last().icnsData.read()->size(), dataSize);
        }
        QCOMPARE(output.takeLines(), QStringList());
    }

    void titleFromFileName_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("title");
        QTest::newRow("one extension") << u"Space.ravivovode"_s << u"Space"_s;
        QTest::newRow("dots in the name") << u"My.Set.ravivovode"_s << u"My.Set"_s;
        // Every occurrence of the dotted extension goes, wherever it stands.
        QTest::newRow("extension twice") << u"Space.ravivovode.ravivovode"_s << u"Space"_s;
        QTest::newRow("extension inside the name") << u"A.ravivovodes.ravivovode"_s << u"As"_s;
        QTest::newRow("extension in the middle") << u"A.ravivovode.B.ravivovode"_s << u"A.B"_s;
        QTest::newRow("other case stays") << u"A.RAVIVOVODE.ravivovode"_s << u"A.RAVIVOVODE"_s;
        QTest::newRow("undotted extension stays") << u"ravivovode.ravivovode"_s << u"ravivovode"_s;
        QTest::newRow("other extension") << u"Space.archive"_s << u"Space"_s;
        QTest::newRow("no extension") << u"Space"_s << u"Space"_s;
        QTest::newRow("hidden name") << u".ravivovode"_s << u".ravivovode"_s;
        QTest::newRow("trailing dot") << u"Space."_s << u"Space."_s;
    }

    void titleFromFileName()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, title);
        QCOMPARE(LegacyImporter::titleFromFileName(fileName), title);
        const auto container = import(ts::dict({ { "Icons", ts::dict({}) } }), fileName);
        QVERIFY(container);
        QCOMPARE(container->title, title);
    }

    void notAnArchive_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const ArchivedValue good = ts::dict({ { "Icons", threeIcons() } });
        const QByteArray goodBytes = TypedStreamWriter::archive(good);
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("truncated") << goodBytes.left(goodBytes.size() / 2);
        QTest::newRow("one byte short") << goodBytes.chopped(1);
        QByteArray wrongSignature = goodBytes;
        wrongSignature.replace(2, 11, "streamtypes");
        QTest::newRow("wrong signature") << wrongSignature;
        QTest::newRow("not an archive") << "{\"Icons\": {}}"_ba;
        QTest::newRow("root an array") << TypedStreamWriter::archive(ts::array({ good }));
        QTest::newRow("root a string") << TypedStreamWriter::archive(ts::str("Icons"));
        QTest::newRow("root nil") << TypedStreamWriter::archive(ArchivedValue());
        QTest::newRow("no Icons") << TypedStreamWriter::archive(ts::dict({ { "IconOrder", ts::array({}) } }));
        QTest::newRow("Icons an array") << TypedStreamWriter::archive(ts::dict({ { "Icons", ts::array({}) } }));
        QTest::newRow("Icons a string") << TypedStreamWriter::archive(ts::dict({ { "Icons", ts::str("a") } }));
        QTest::newRow("Icons under a key of another kind")
            << TypedStreamWriter::archive(ArchivedValue::dictionary({ { ts::bytes("Icons"), threeIcons() } }));
    }

    void notAnArchive()
    {
        QFETCH(QByteArray, bytes);
        const QString path = writeArchive(bytes);
        const std::optional<QString> library = ContainerManager::libraryFolderURL();
        QVERIFY(library);

        StandardOutputCapture output;
        QSignalSpy errorChanged(&m_manager, &ContainerManager::errorChanged);
        // The importer's road: a container only when the archive gives one.
        const auto container = m_manager.importLegacyContainer(path);
        QVERIFY(!container);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(output.takeLines(), QStringList());
        QCOMPARE(errorChanged.size(), 0);
        QCOMPARE(LibraryFixture::tree(*library), QStringList());
    }

    void notAFile()
    {
        StandardOutputCapture output;
        QVERIFY(!m_manager.importLegacyContainer(m_dir->filePath(u"missing.ravivovode"_s)));
        QVERIFY(!m_manager.importLegacyContainer(m_dir->path()));
        // A pipe has no writer: reading it would wait for ever.
        const QString pipe = m_dir->filePath(u"pipe.ravivovode"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(!m_manager.importLegacyContainer(pipe));
        QCOMPARE(output.takeLines(), QStringList());
    }

    void sampleImportsAndLoadsBack()
    {
        const QString sample = QDir::cleanPath(u"" GLIMBAR_TEST_DATA "/../../samples/Starter Shapes.ravivovode"_s);
        const std::optional<QString> library = ContainerManager::libraryFolderURL();
        QVERIFY(library);
        StandardOutputCapture output;
        QSignalSpy containersChanged(&m_manager, &ContainerManager::containersChanged);
        QSignalSpy errorChanged(&m_manager, &ContainerManager::errorChanged);

        const auto imported = m_manager.importLegacyContainer(sample);
        QVERIFY(imported);
        QCOMPARE(imported->title, u"Starter Shapes"_s);
        QCOMPARE(imported->authorName, u"Glimbar contributors"_s);
        QCOMPARE(containerField(*imported, u"backgroundColor"_s), u"0.96,0.95,0.92,1"_s);
        const QString order = u"Star,Circle,Square,Triangle,Hexagon,Diamond,Ring,Cross"_s;
        QCOMPARE(iconNames(*imported), order);
        m_manager.saveIntoLibrary([container = *imported] { return container; });
        m_manager.waitForRequests();
        QCoreApplication::sendPostedEvents();
        // Saving does not add the container; it shows at the next load.
        QCOMPARE(containersChanged.size(), 0);
        QCOMPARE(errorChanged.size(), 0);

        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded);
        QCOMPARE(loaded->size(), 1);
        const IconContainer &shapes = loaded->first();
        QCOMPARE(shapes.title, imported->title);
        QCOMPARE(shapes.authorURL, imported->authorURL);
        QCOMPARE(shapes.authorEmail, imported->authorEmail);
        QCOMPARE(shapes.copyright, imported->copyright);
        QCOMPARE(containerField(shapes, u"backgroundColor"_s), u"0.96,0.95,0.92,1"_s);
        QCOMPARE(iconNames(shapes), order);
        for (qsizetype i = 0; i < shapes.icons.size(); ++i) {
            const Icon &before = imported->icons.at(i);
            const Icon &after = shapes.icons.at(i);
            QCOMPARE(after.type, before.type);
            const bool icns = before.type == IconFileType::icns;
            QCOMPARE(after.filename, std::optional(before.name + (icns ? u".icns"_s : u".png"_s)));
            QCOMPARE(after.primaryData(), before.primaryData());
            QCOMPARE(after.author, u"Glimbar contributors"_s);
            QCOMPARE(after.previewReps().size(), before.previewReps().size());
            QVERIFY(!after.previewReps().isEmpty());
        }
        QCOMPARE(output.takeLines(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestLegacyImport)
#include "tst_legacyimport.moc"
