// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/libraryreader.h"
#include "model/containerjson.h"

#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"
#include "support/standardoutputcapture.h"
#include "support/workergate.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// An info.json entry: what a container's document says of one icon.
Icon entry(const QString &name, std::optional<QString> filename, const QString &author = {})
{
    Icon icon;
    icon.name = name;
    icon.filename = std::move(filename);
    icon.author = author;
    icon.copyright = author.isEmpty() ? QString() : u"© "_s + author;
    icon.authorURL = author.isEmpty() ? QString() : u"https://example.org/"_s + author;
    return icon;
}

QByteArray infoJson(const QString &title, const QList<Icon> &entries = {})
{
    IconContainer container { .title = title, .authorName = u"Ann"_s };
    container.icons = entries;
    return encodeContainerJson(container).value();
}

QByteArray icnsBytes(int side = 32)
{
    return IcnsBuilder().add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(side, side))).build();
}

QByteArray pngBytes(int side = 32)
{
    return IcnsBuilder::png(IcnsBuilder::pattern(side, side, Qt::red));
}

QStringList names(const IconContainer &container)
{
    QStringList list;
    for (const Icon &icon : container.icons)
        list << icon.name;
    return list;
}

QStringList titles(const QList<IconContainer> &containers)
{
    QStringList list;
    for (const IconContainer &container : containers)
        list << container.title;
    return list;
}

} // namespace

class TestLibraryLoad : public QObject
{
    Q_OBJECT

private:
    LibraryFixture m_fixture;
    ContainerManager m_manager;

    QString container(const QString &folderName) const { return m_fixture.libraryFolder() + u'/' + folderName; }

    // A container folder holding info.json with `entries` and one file per name in `files`.
    void writeContainer(const QString &folderName, const QList<Icon> &entries, const QStringList &files)
    {
        QVERIFY(LibraryFixture::writeFile(container(folderName) + u"/info.json"_s, infoJson(folderName, entries)));
        for (const QString &file : files) {
            const QByteArray bytes = file.endsWith(u".icns"_s) ? icnsBytes() : pngBytes();
            QVERIFY(LibraryFixture::writeFile(container(folderName) + u'/' + file, bytes));
        }
    }

private slots:
    void initTestCase() { QVERIFY(m_fixture.isValid()); }
    void init() { m_fixture.reset(); }

    void libraryFolderIsCreated()
    {
        QVERIFY(!QFileInfo::exists(m_fixture.dataFolder()));
        StandardOutputCapture output;
        QCOMPARE(ContainerManager::libraryFolderURL(), std::optional(m_fixture.libraryFolder()));
        QVERIFY(QFileInfo(m_fixture.libraryFolder()).isDir());
        // Found again, not cached, and an existing folder is no failure.
        QCOMPARE(ContainerManager::libraryFolderURL(), std::optional(m_fixture.libraryFolder()));

        m_manager.setContainers({ IconContainer {} });
        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded);
        QVERIFY(loaded->isEmpty());
        QCOMPARE(output.takeLines(), QStringList());
    }

    void libraryFolderThatCannotBeMade()
    {
        // "Glimbar" is a file, so "Library" cannot be made inside it.
        QVERIFY(LibraryFixture::writeFile(m_fixture.dataFolder(), "not a folder"));
        StandardOutputCapture output;
        QCOMPARE(ContainerManager::libraryFolderURL(), std::nullopt);
        QCOMPARE(output.takeLines(), QStringList { u"The folder “Library” couldn’t be created: Not a directory"_s });

        // A load then changes nothing.
        m_manager.setContainers({ IconContainer { .title = u"Kept"_s } });
        QVERIFY(!LibraryFixture::load(m_manager));
        QCOMPARE(titles(m_manager.containers()), QStringList { u"Kept"_s });
        QCOMPARE(output.takeLines().size(), 1);
    }

    void onlyContainerFoldersLoad()
    {
        writeContainer(u"Solar.ravivovode"_s, {}, { u"a.png"_s });
        writeContainer(u"Capital.RAVIVOVODE"_s, {}, {});
        // A plain folder, hidden members, a file of the container's extension (an older archive),
        // a link to a container and a pipe: none of them is a container of the library.
        writeContainer(u"Test"_s, {}, {});
        writeContainer(u".Hidden.ravivovode"_s, {}, {});
        QVERIFY(LibraryFixture::writeFile(container(u".DS_Store"_s), "junk"));
        QVERIFY(LibraryFixture::writeFile(container(u"Archive.ravivovode"_s), "typedstream"));
        QVERIFY(QFile::link(container(u"Solar.ravivovode"_s), container(u"Link.ravivovode"_s)));
        QCOMPARE(::mkfifo(QFile::encodeName(container(u"Pipe.ravivovode"_s)).constData(), 0600), 0);

        StandardOutputCapture output;
        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded);
        // In name order (UTF-16 code units: capitals first), never sorted by title.
        QCOMPARE(titles(*loaded), QStringList({ u"Capital.RAVIVOVODE"_s, u"Solar.ravivovode"_s }));
        QCOMPARE(names(loaded->at(1)), QStringList { u"a"_s });
        QCOMPARE(output.takeLines(), QStringList());
    }

    void filesPairWithEntriesByExactFileName()
    {
        writeContainer(u"Solar.ravivovode"_s,
            { entry(u"Bee"_s, u"b.png"_s, u"Bea"_s), entry(u"Ant"_s, u"a.icns"_s, u"Ann"_s),
                entry(u"Capital"_s, u"A.icns"_s, u"Wrong"_s), entry(u"d"_s, std::nullopt, u"Nobody"_s) },
            { u"a.icns"_s, u"b.png"_s, u"c.png"_s, u"d.png"_s, u"a.b.png"_s, u"e.jpg"_s, u"f.PNG"_s });
        // Not regular files: skipped, and the pipe never blocks the load.
        QVERIFY(QDir().mkpath(container(u"Solar.ravivovode/folder.png"_s)));
        QCOMPARE(::mkfifo(QFile::encodeName(container(u"Solar.ravivovode/pipe.png"_s)).constData(), 0600), 0);
        QVERIFY(QFile::link(container(u"Solar.ravivovode/a.icns"_s), container(u"Solar.ravivovode/link.icns"_s)));

        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded && loaded->size() == 1);
        const IconContainer &solar = loaded->first();
        QCOMPARE(solar.title, u"Solar.ravivovode"_s);
        QCOMPARE(solar.authorName, u"Ann"_s);
        // Listed files first, in the entries' order; then the rest in name order.
        QCOMPARE(names(solar), QStringList({ u"b"_s, u"a"_s, u"a.b"_s, u"c"_s, u"d"_s, u"f"_s }));

        QStringList credits;
        for (const Icon &icon : solar.icons) {
            QCOMPARE(icon.containerID, solar.id);
            QCOMPARE(icon.previewReps().isEmpty(), false);
            const bool icns = icon.type == IconFileType::icns;
            QCOMPARE(icns, icon.filename == u"a.icns"_s);
            const QByteArray onDisk = LibraryFixture::readFile(container(u"Solar.ravivovode/"_s + *icon.filename));
            QCOMPARE(icns ? icon.icnsData : icon.imageData, std::optional(onDisk));
            QCOMPARE(icns ? icon.imageData : icon.icnsData, std::nullopt);
            credits << *icon.filename + u':' + icon.author + u'|' + icon.copyright + u'|' + icon.authorURL;
        }
        // Only an entry naming the exact file lends its credits: not "A.icns" to a.icns, not an
        // entry without file name to the file of its name.
        QCOMPARE(credits,
            QStringList({ u"b.png:Bea|© Bea|https://example.org/Bea"_s, u"a.icns:Ann|© Ann|https://example.org/Ann"_s,
                u"a.b.png:||"_s, u"c.png:||"_s, u"d.png:||"_s, u"f.PNG:||"_s }));
    }

    void decomposedFileNamePairsWithComposedEntry()
    {
        // info.json names the file composed; the file system holds it decomposed, as some do.
        const QString composed = u"Caf\u00e9.png"_s;
        const QString decomposed = u"Cafe\u0301.png"_s;
        writeContainer(u"Solar.ravivovode"_s, { entry(u"Other"_s, u"b.png"_s), entry(u"Caf"_s, composed, u"Ann"_s) },
            { decomposed, u"b.png"_s });
        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded && loaded->size() == 1);
        const QList<Icon> &icons = loaded->first().icons;
        QCOMPARE(icons.size(), 2);
        QCOMPARE(icons.at(0).filename, std::optional(u"b.png"_s));
        QCOMPARE(icons.at(1).filename, std::optional(decomposed));
        QCOMPARE(icons.at(1).author, u"Ann"_s);
    }

    // A U+FEFF at the start of a name is a character of it, not a byte-order mark.
    void fileNameStartingWithFeffKeepsIt()
    {
        const QString marked = QChar(0xFEFF) + u"BOM.png"_s;
        writeContainer(u"Solar.ravivovode"_s, { entry(u"BOM"_s, marked, u"Ann"_s) }, { marked, u"BOM.png"_s });
        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded && loaded->size() == 1);
        const QList<Icon> &icons = loaded->first().icons;
        QCOMPARE(icons.size(), 2);
        QCOMPARE(icons.at(0).filename, std::optional(marked));
        QCOMPARE(icons.at(0).name, QChar(0xFEFF) + u"BOM"_s);
        QCOMPARE(icons.at(0).author, u"Ann"_s);
        QCOMPARE(icons.at(1).filename, std::optional(u"BOM.png"_s));
        QCOMPARE(icons.at(1).author, QString());
    }

    void namesThatAreNotUtf8StillLoad()
    {
        writeContainer(u"Solar.ravivovode"_s, {}, {});
        const QByteArray bytes = pngBytes();
        const QByteArray native = QFile::encodeName(container(u"Solar.ravivovode"_s)) + "/caf\xe9.png";
        std::FILE *raw = std::fopen(native.constData(), "wb");
        QVERIFY(raw);
        QCOMPARE(std::fwrite(bytes.constData(), 1, size_t(bytes.size()), raw), size_t(bytes.size()));
        std::fclose(raw);

        StandardOutputCapture output;
        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded && loaded->size() == 1);
        QCOMPARE(loaded->first().icons.size(), 1);
        QCOMPARE(loaded->first().icons.first().imageData, std::optional(bytes));
        QCOMPARE(output.takeLines(), QStringList());
    }

    void eachLoadMakesNewIdentifiersAndLookupsGrow()
    {
        writeContainer(u"Solar.ravivovode"_s, {}, { u"a.png"_s, u"b.icns"_s });
        const QSet<IconLookup> before = m_manager.iconLookupSet();

        QSignalSpy lookupsChanged(&m_manager, &ContainerManager::iconLookupSetChanged);
        const auto first = LibraryFixture::load(m_manager);
        QCOMPARE(lookupsChanged.size(), 1); // one queued insert per load
        const auto second = LibraryFixture::load(m_manager);
        QVERIFY(first && second);
        QVERIFY(first->first().id != second->first().id);

        QSet<IconLookup> expected = before;
        for (const auto *loaded : { &*first, &*second }) {
            for (const Icon &icon : loaded->first().icons)
                expected.insert({ icon.id, icon.containerID });
        }
        QCOMPARE(expected.size(), before.size() + 4);
        QCOMPARE(m_manager.iconLookupSet(), expected);
    }

    // Lookups written after a load was asked for and before its results arrive stay, beside the
    // load's own, and every loaded icon resolves through them.
    void lookupsWrittenWhileALoadWaitsStay_data()
    {
        QTest::addColumn<bool>("replaceSet");
        QTest::newRow("nothing written meanwhile") << false;
        QTest::newRow("set replaced meanwhile") << true;
    }

    void lookupsWrittenWhileALoadWaitsStay()
    {
        QFETCH(bool, replaceSet);
        writeContainer(u"Solar.ravivovode"_s, {}, { u"a.png"_s, u"b.icns"_s });
        QSet<IconLookup> expected = m_manager.iconLookupSet();
        QSignalSpy lookupsChanged(&m_manager, &ContainerManager::iconLookupSetChanged);
        QSignalSpy published(&m_manager, &ContainerManager::containersChanged);
        {
            WorkerGate gate(m_manager.worker());
            gate.waitUntilHeld();
            m_manager.loadLibrary();
            if (replaceSet) {
                expected = { IconLookup { QUuid::createUuid(), QUuid::createUuid() } };
                m_manager.setIconLookupSet(expected);
            }
        }
        QTRY_COMPARE(published.size(), 1);
        QCOMPARE(lookupsChanged.size(), replaceSet ? 2 : 1);
        const QList<IconContainer> &loaded = m_manager.containers();
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded.first().icons.size(), 2);
        for (const Icon &icon : loaded.first().icons) {
            expected.insert({ icon.id, icon.containerID });
            QCOMPARE(m_manager.resolveIcon(icon.id), &icon);
            QCOMPARE(m_manager.resolvedContainerID(icon.id), std::optional(icon.containerID));
        }
        QCOMPARE(m_manager.iconLookupSet(), expected);
    }

    void resultsArriveQueued()
    {
        writeContainer(u"Solar.ravivovode"_s, {}, { u"a.png"_s });
        m_manager.setContainers({});
        QSignalSpy published(&m_manager, &ContainerManager::containersChanged);
        QSignalSpy lookupsChanged(&m_manager, &ContainerManager::iconLookupSetChanged);
        m_manager.loadLibrary();
        QCOMPARE(published.size(), 0);
        QCOMPARE(lookupsChanged.size(), 0);
        QVERIFY(m_manager.containers().isEmpty());
        QTRY_COMPARE(published.size(), 1);
        QCOMPARE(lookupsChanged.size(), 1);
        QCOMPARE(titles(m_manager.containers()), QStringList { u"Solar.ravivovode"_s });
    }

    // Into an empty library a load lists its containers, without icons, before it publishes them;
    // into a filled one it only publishes.
    void titlesComeFirstIntoAnEmptyLibrary()
    {
        writeContainer(u"Solar.ravivovode"_s, {}, { u"a.png"_s });
        writeContainer(u"Bad.ravivovode"_s, {}, {});
        QVERIFY(LibraryFixture::writeFile(container(u"Bad.ravivovode"_s) + u"/info.json"_s, "{ nope"_ba));
        writeContainer(u"Lunar.ravivovode"_s, {}, { u"b.icns"_s, u"c.png"_s });
        m_manager.setContainers({});
        QStringList events;
        QList<IconContainer> listed;
        // Goes before the lists it fills, and takes its connections along.
        const QObject context;
        connect(&m_manager, &ContainerManager::containersListed, &context, [&](const QList<IconContainer> &containers) {
            events << u"listed"_s;
            listed = containers;
            QVERIFY(m_manager.containers().isEmpty());
        });
        connect(&m_manager, &ContainerManager::containersChanged, &context, [&] { events << u"published"_s; });
        m_manager.loadLibrary();
        QTRY_COMPARE(events, (QStringList { u"listed"_s, u"published"_s }));
        QCOMPARE(titles(listed), titles(m_manager.containers()));
        QCOMPARE(titles(listed), (QStringList { u"Lunar.ravivovode"_s, u"Solar.ravivovode"_s }));
        for (qsizetype i = 0; i < listed.size(); ++i) {
            QVERIFY(listed.at(i).icons.isEmpty());
            QCOMPARE(listed.at(i).id, m_manager.containers().at(i).id);
            QCOMPARE(listed.at(i).folderName, m_manager.containers().at(i).folderName);
        }
        QCOMPARE(m_manager.containers().at(0).icons.size(), 2);

        m_manager.loadLibrary();
        QTRY_COMPARE(events.size(), 3);
        QCOMPARE(events.last(), u"published"_s);
    }

    void unreadableInfoLeavesOnlyThatFolderOut_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QString>("line");
        QTest::newRow("missing")
            << QByteArray() << u"The file “Bad.ravivovode/info.json” couldn’t be read: No such file or directory"_s;
        QTest::newRow("not JSON") << "{ nope"_ba << QString();
        QTest::newRow("required key missing") << R"({"title": "Bad"})"_ba << QString();
        QTest::newRow("a folder")
            << "folder"_ba << u"The file “Bad.ravivovode/info.json” couldn’t be read: it is not a regular file"_s;
    }

    void unreadableInfoLeavesOnlyThatFolderOut()
    {
        QFETCH(QByteArray, info);
        QFETCH(QString, line);
        writeContainer(u"Good.ravivovode"_s, {}, { u"a.png"_s });
        const QString bad = container(u"Bad.ravivovode"_s);
        QVERIFY(LibraryFixture::writeFile(bad + u"/a.png"_s, pngBytes()));
        if (info == "folder")
            QVERIFY(QDir().mkpath(bad + u"/info.json"_s));
        else if (!info.isEmpty())
            QVERIFY(LibraryFixture::writeFile(bad + u"/info.json"_s, info));

        StandardOutputCapture output;
        QSignalSpy errorChanged(&m_manager, &ContainerManager::errorChanged);
        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded);
        QCOMPARE(titles(*loaded), QStringList { u"Good.ravivovode"_s });
        // Reading reports only on standard output; the library's error is the import's and the download's.
        QCOMPARE(errorChanged.size(), 0);
        const QStringList lines = output.takeLines();
        QCOMPARE(lines.size(), 1);
        if (!line.isEmpty())
            QCOMPARE(lines.first(), line);
        else
            QVERIFY2(lines.first().startsWith(u"The rAvivovode’s info.json "_s), qPrintable(lines.first()));
    }

    void failedReadEndsTheScanUnordered()
    {
        // The entries would put b before a; a file too large to read ends the scan at c.
        writeContainer(u"Solar.ravivovode"_s, { entry(u"b"_s, u"b.png"_s), entry(u"a"_s, u"a.png"_s) },
            { u"a.png"_s, u"b.png"_s, u"d.png"_s });
        QFile huge(container(u"Solar.ravivovode/c.png"_s));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(LibraryReader::maxIconFileBytes + 1)); // sparse: costs no disk space
        huge.close();

        StandardOutputCapture output;
        const qsizetype lookupsBefore = m_manager.iconLookupSet().size();
        QSignalSpy lookupsChanged(&m_manager, &ContainerManager::iconLookupSetChanged);
        const auto loaded = LibraryFixture::load(m_manager);
        QVERIFY(loaded);
        QCOMPARE(names(loaded->first()), QStringList({ u"a"_s, u"b"_s }));
        QCOMPARE(lookupsChanged.size(), 1);
        QCOMPARE(m_manager.iconLookupSet().size(), lookupsBefore + 2);
        QCOMPARE(output.takeLines(), QStringList { u"The file “c.png” couldn’t be read: it is too large"_s });
    }

    void readIconsReadsAnyFolder()
    {
        const QString folder = m_fixture.dataFolder() + u"/Elsewhere/Download"_s;
        QVERIFY(LibraryFixture::writeFile(folder + u"/Star.icns"_s, icnsBytes()));
        const IconContainer decoded { .title = u"Sky"_s, .icons = { entry(u"Star"_s, u"Star.icns"_s, u"Ann"_s) } };

        QList<IconLookup> lookups;
        const auto collect = [&lookups](const IconLookup &lookup) { lookups.append(lookup); };
        const IconContainer loaded = LibraryReader::readIcons(decoded, folder, collect);
        QCOMPARE(loaded.id, decoded.id);
        QCOMPARE(loaded.title, u"Sky"_s);
        QCOMPARE(names(loaded), QStringList { u"Star"_s });
        QCOMPARE(loaded.icons.first().author, u"Ann"_s);
        QCOMPARE(lookups, (QList<IconLookup> { { loaded.icons.first().id, decoded.id } }));

        // A folder that cannot be listed gives the container without icons.
        StandardOutputCapture output;
        QCOMPARE(LibraryReader::readIcons(decoded, folder + u"/missing"_s, collect).icons.size(), 0);
        QCOMPARE(output.takeLines(),
            QStringList { u"The folder “"_s + folder + u"/missing” couldn’t be read: No such file or directory"_s });
    }
};

QTEST_MAIN(TestLibraryLoad)
#include "tst_libraryload.moc"
