// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "model/containerjson.h"

#include "support/filesizelimit.h"
#include "support/libraryfixture.h"
#include "support/standardoutputcapture.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

Icon icnsIcon(const QString &name, const QByteArray &data, std::optional<QString> filename = std::nullopt)
{
    return Icon(QUuid::createUuid(), QUuid(), name, IconFileType::icns, data, std::nullopt, u"Ann"_s, u"© "_s + name,
        u"https://example.org/"_s + name, std::move(filename));
}

Icon pngIcon(const QString &name, const QByteArray &data)
{
    return Icon(
        QUuid::createUuid(), QUuid(), name, IconFileType::image, std::nullopt, data, u"Bo"_s, {}, {}, std::nullopt);
}

// The file names that a folder's info.json records, in order.
QStringList recordedFileNames(const QString &folder)
{
    const auto decoded = decodeContainerJson(LibraryFixture::readFile(folder + u"/info.json"_s));
    if (!decoded)
        return { u"(no info.json)"_s };
    QStringList names;
    for (const Icon &icon : decoded.value().icons)
        names << icon.filename.value_or(u"(none)"_s);
    return names;
}

} // namespace

class TestLibrarySave : public QObject
{
    Q_OBJECT

private:
    LibraryFixture m_fixture;
    ContainerManager &m_manager = ContainerManager::shared();
    QString m_library;

    QString folder(const QString &name) const { return m_library + u'/' + name; }

    // Saves and lets the queued error arrive; the lines printed on the way.
    QStringList save(const IconContainer &container, int expectedErrors)
    {
        StandardOutputCapture output;
        QSignalSpy errorChanged(&m_manager, &ContainerManager::errorChanged);
        m_manager.saveContainer(container, m_library);
        // The error comes queued, never during the save.
        if (!errorChanged.isEmpty())
            return { u"error set during the save"_s };
        if (expectedErrors > 0 && !QTest::qWaitFor([&] { return !errorChanged.isEmpty(); }))
            return { u"no error set"_s };
        QCoreApplication::sendPostedEvents();
        if (errorChanged.size() != expectedErrors)
            return { u"%1 errors set"_s.arg(errorChanged.size()) };
        if (expectedErrors > 0 && m_manager.error() != ContainerError::writeContainerFailed)
            return { u"another error"_s };
        return output.takeLines();
    }

private slots:
    void initTestCase() { QVERIFY(m_fixture.isValid()); }
    void init()
    {
        m_fixture.reset();
        m_library = ContainerManager::libraryFolderURL().value_or(QString());
        QVERIFY(!m_library.isEmpty());
    }

    void savesInfoThenIcons()
    {
        IconContainer space { .title = u"Space"_s };
        space.icons
            = { icnsIcon(u"Star"_s, "star-icns"), pngIcon(u"Moon"_s, "moon-png"), icnsIcon(u"Sun.icns"_s, "sun-icns") };
        QSignalSpy containersChanged(&m_manager, &ContainerManager::containersChanged);
        QCOMPARE(save(space, 0), QStringList());

        const QString saved = folder(u"Space.ravivovode"_s);
        QCOMPARE(LibraryFixture::listing(m_library), QStringList { u"Space.ravivovode"_s });
        QCOMPARE(LibraryFixture::listing(saved),
            QStringList({ u"Moon.png"_s, u"Star.icns"_s, u"Sun.icns"_s, u"info.json"_s }));
        QCOMPARE(LibraryFixture::readFile(saved + u"/Star.icns"_s), "star-icns"_ba);
        QCOMPARE(LibraryFixture::readFile(saved + u"/Moon.png"_s), "moon-png"_ba);
        QCOMPARE(recordedFileNames(saved), QStringList({ u"Star.icns"_s, u"Moon.png"_s, u"Sun.icns"_s }));
        // The container in memory keeps its icons without file names, and the library its list.
        for (const Icon &icon : std::as_const(space.icons))
            QCOMPARE(icon.filename, std::nullopt);
        QCOMPARE(containersChanged.size(), 0);
    }

    void containerWithoutIcons()
    {
        QCOMPARE(save(IconContainer { .title = u"Empty"_s }, 0), QStringList());
        QCOMPARE(LibraryFixture::listing(folder(u"Empty.ravivovode"_s)), QStringList { u"info.json"_s });
    }

    void missingDataStopsAtThatIcon()
    {
        IconContainer space { .title = u"Space"_s };
        Icon onlyImage = icnsIcon(u"Moon"_s, {});
        onlyImage.icnsData = std::nullopt;
        onlyImage.imageData = "moon-png";
        space.icons = { icnsIcon(u"Star"_s, "star"), onlyImage, icnsIcon(u"Sun"_s, "sun") };
        QCOMPARE(save(space, 1), QStringList { u"The icon has no data."_s });
        const QString saved = folder(u"Space.ravivovode"_s);
        QCOMPARE(LibraryFixture::listing(saved), QStringList({ u"Star.icns"_s, u"info.json"_s }));
        QCOMPARE(recordedFileNames(saved), QStringList({ u"Star.icns"_s, u"Moon.icns"_s, u"Sun.icns"_s }));
    }

    void failedIconWriteComesAfterInfo()
    {
        IconContainer space { .title = u"Space"_s };
        space.icons = { icnsIcon(u"Star"_s, QByteArray(64 * 1024, 's')), icnsIcon(u"Sun"_s, "sun") };
        QStringList lines;
        {
            // Room for info.json, not for the first icon.
            const FileSizeLimit limit(16 * 1024);
            lines = save(space, 1);
        }
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.first().startsWith(u"The file “Star.icns” couldn’t be saved: "_s), qPrintable(lines.first()));
        QCOMPARE(lines.last(), u"Saving the icon failed."_s);
        const QString saved = folder(u"Space.ravivovode"_s);
        // info.json is complete, and the failed write left neither the icon nor its temporary file.
        QCOMPARE(LibraryFixture::listing(saved), QStringList { u"info.json"_s });
        QCOMPARE(recordedFileNames(saved), QStringList({ u"Star.icns"_s, u"Sun.icns"_s }));
    }

    void failedInfoWritesNoIcon()
    {
        IconContainer space { .title = u"Space"_s };
        space.icons = { icnsIcon(QString(20 * 1024, u'x'), "x"), icnsIcon(u"Sun"_s, "sun") };
        QStringList lines;
        {
            const FileSizeLimit limit(16 * 1024);
            lines = save(space, 1);
        }
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.first().startsWith(u"The file “info.json” couldn’t be saved: "_s), qPrintable(lines.first()));
        QCOMPARE(lines.last(), u"Saving the rAvivovode’s metadata failed."_s);
        QCOMPARE(LibraryFixture::listing(folder(u"Space.ravivovode"_s)), QStringList());
    }

    void folderThatCannotBeMade()
    {
        QVERIFY(LibraryFixture::writeFile(folder(u"Space.ravivovode"_s), "a file in the way"));
        IconContainer space { .title = u"Space"_s };
        space.icons = { icnsIcon(u"Star"_s, "star") };
        const QStringList lines = save(space, 1);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.first().startsWith(u"The folder “Space.ravivovode” couldn’t be created: "_s),
            qPrintable(lines.first()));
        QCOMPARE(lines.last(), u"Saving the rAvivovode’s metadata failed."_s);
        QCOMPARE(LibraryFixture::readFile(folder(u"Space.ravivovode"_s)), "a file in the way"_ba);
    }

    void infoThatCannotBeEncoded()
    {
        IconContainer space { .title = u"Space"_s };
        space.backgroundColor = RGBAColor { std::numeric_limits<double>::infinity(), 0, 0, 1 };
        space.icons = { icnsIcon(u"Star"_s, "star") };
        const QStringList lines = save(space, 1);
        QCOMPARE(lines,
            QStringList({ u"The rAvivovode’s background colour cannot be saved: a component is not a finite number."_s,
                u"Saving the rAvivovode’s metadata failed."_s }));
        QCOMPARE(LibraryFixture::listing(folder(u"Space.ravivovode"_s)), QStringList());
    }

    void sameTitleWritesIntoTheSameFolder()
    {
        IconContainer first { .title = u"Space"_s };
        first.icons = { icnsIcon(u"Star"_s, "old star"), icnsIcon(u"Moon"_s, "moon") };
        IconContainer second { .title = u"Space"_s };
        second.icons = { icnsIcon(u"Star"_s, "new star") };
        QCOMPARE(save(first, 0), QStringList());
        QCOMPARE(save(second, 0), QStringList());
        const QString saved = folder(u"Space.ravivovode"_s);
        QCOMPARE(LibraryFixture::listing(saved), QStringList({ u"Moon.icns"_s, u"Star.icns"_s, u"info.json"_s }));
        QCOMPARE(LibraryFixture::readFile(saved + u"/Star.icns"_s), "new star"_ba);
        QCOMPARE(recordedFileNames(saved), QStringList { u"Star.icns"_s });
    }

    void namesFromOutsideStayInTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("climbing") << u"../../evil"_s << u"_._.._evil.icns"_s;
        QTest::newRow("absolute") << u"/tmp/evil"_s << u"_tmp_evil.icns"_s;
        QTest::newRow("dot dot") << u".."_s << u"_..icns"_s;
        QTest::newRow("dot") << u"."_s << u"_.icns"_s;
        QTest::newRow("hidden") << u".Star"_s << u"_Star.icns"_s;
        QTest::newRow("empty") << QString() << u"_.icns"_s;
        QTest::newRow("NUL") << u"St\0ar"_s << u"St_ar.icns"_s;
        QTest::newRow("info.json") << u"info.json"_s << u"info.json.icns"_s;
    }

    void namesFromOutsideStayInTheFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, fileName);
        IconContainer space { .title = u"Space"_s };
        space.icons = { icnsIcon(name, "data") };
        QCOMPARE(save(space, 0), QStringList());
        const QString saved = folder(u"Space.ravivovode"_s);
        QStringList expectedTree { u"Library"_s, u"Library/Space.ravivovode"_s,
            u"Library/Space.ravivovode/"_s + fileName, u"Library/Space.ravivovode/info.json"_s };
        expectedTree.sort();
        QCOMPARE(LibraryFixture::tree(m_fixture.dataFolder()), expectedTree);
        QCOMPARE(recordedFileNames(saved), QStringList { fileName });

        // The next load finds the icon and pairs it with its entry, credits and all.
        const auto loaded = LibraryFixture::load();
        QVERIFY(loaded && loaded->size() == 1 && loaded->first().icons.size() == 1);
        const Icon &icon = loaded->first().icons.first();
        QCOMPARE(icon.filename, std::optional(fileName));
        QCOMPARE(icon.copyright, u"© "_s + name);
        QCOMPARE(icon.icnsData, std::optional("data"_ba));
    }

    void clashingFileNamesGetUniqueNames()
    {
        IconContainer space { .title = u"Space"_s };
        space.icons = { icnsIcon(u"Star"_s, "first"), icnsIcon(u"Star.icns"_s, "second"),
            icnsIcon(u"Other"_s, "third", u"Star"_s), icnsIcon(u"Plain"_s, "fourth", u"plain"_s) };
        QCOMPARE(save(space, 0), QStringList());
        const QString saved = folder(u"Space.ravivovode"_s);
        const QStringList expected { u"Star.icns"_s, u"Star 2.icns"_s, u"Star 3.icns"_s, u"plain.icns"_s };
        // info.json names each icon by the file it went to, also a file name that lacked the extension.
        QCOMPARE(recordedFileNames(saved), expected);
        QCOMPARE(LibraryFixture::readFile(saved + u"/Star.icns"_s), "first"_ba);
        QCOMPARE(LibraryFixture::readFile(saved + u"/Star 2.icns"_s), "second"_ba);
        QCOMPARE(LibraryFixture::readFile(saved + u"/Star 3.icns"_s), "third"_ba);

        const auto loaded = LibraryFixture::load();
        QVERIFY(loaded && loaded->size() == 1);
        QStringList loadedNames;
        for (const Icon &icon : loaded->first().icons)
            loadedNames << *icon.filename + u'=' + QString::fromLatin1(*icon.icnsData) + u'|' + icon.copyright;
        QCOMPARE(loadedNames,
            QStringList({ u"Star.icns=first|© Star"_s, u"Star 2.icns=second|© Star.icns"_s,
                u"Star 3.icns=third|© Other"_s, u"plain.icns=fourth|© Plain"_s }));
    }

    void titlesMakeSafeFolderNames_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("folderName");
        QTest::newRow("plain") << u"Space"_s << u"Space.ravivovode"_s;
        QTest::newRow("already with the extension") << u"Space.ravivovode"_s << u"Space.ravivovode.ravivovode"_s;
        QTest::newRow("slash") << u"/"_s << u"_.ravivovode"_s;
        QTest::newRow("climbing") << u"../Space"_s << u"_._Space.ravivovode"_s;
        QTest::newRow("dot") << u"."_s << u"_.ravivovode"_s;
        QTest::newRow("dot dot") << u".."_s << u"_..ravivovode"_s;
        QTest::newRow("hidden") << u".Space"_s << u"_Space.ravivovode"_s;
        QTest::newRow("empty") << QString() << u"_.ravivovode"_s;
        QTest::newRow("very long") << QString(300, u'S') << QString(244, u'S') + u".ravivovode"_s;
    }

    void titlesMakeSafeFolderNames()
    {
        QFETCH(QString, title);
        QFETCH(QString, folderName);
        IconContainer container { .title = title };
        container.icons = { pngIcon(u"Moon"_s, "moon") };
        QCOMPARE(save(container, 0), QStringList());
        QCOMPARE(LibraryFixture::listing(m_fixture.dataFolder()), QStringList { u"Library"_s });
        QCOMPARE(LibraryFixture::listing(m_library), QStringList { folderName });
        // The folder loads back, under the title it was given.
        const auto loaded = LibraryFixture::load();
        QVERIFY(loaded && loaded->size() == 1);
        QCOMPARE(loaded->first().title, title);
        QCOMPARE(loaded->first().icons.size(), 1);
    }

    void writeContainerInfoAlone()
    {
        IconContainer space { .title = u"Space"_s };
        space.icons = { icnsIcon(u"Star"_s, "star"), icnsIcon(u"Star"_s, "star") };
        const QString deep = m_fixture.dataFolder() + u"/a/b/Space.ravivovode"_s;
        StandardOutputCapture output;
        QVERIFY(m_manager.writeContainerInfo(space, deep));
        QCOMPARE(LibraryFixture::listing(deep), QStringList { u"info.json"_s });
        QCOMPARE(recordedFileNames(deep), QStringList({ u"Star.icns"_s, u"Star 2.icns"_s }));
        QCOMPARE(space.icons.first().filename, std::nullopt);
        QCOMPARE(output.takeLines(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestLibrarySave)
#include "tst_librarysave.moc"
