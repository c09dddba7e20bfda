// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/foldericonfile.h"

#include "support/libraryfixture.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray ours = "./.glimbar-icon-0123456789abcdef.png";

QByteArray pngOf(QRgb color)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QStringList hiddenListing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestFolderIconFile : public QObject
{
    Q_OBJECT

private slots:
    // Our line goes in and comes out again; everything else stays as it was, byte for byte.
    void editsKeepEverythingElse_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("withIcon");
        QTest::addColumn<QByteArray>("afterRemoval");

        const QByteArray view = "[Dolphin]\nTimestamp=2024,5,1,10,0,0.123\nViewMode=1\n";
        QTest::newRow("no file") << QByteArray() << "[Desktop Entry]\nIcon=" + ours + "\n" << QByteArray();
        QTest::newRow("view settings") << view << view + "\n[Desktop Entry]\nIcon=" + ours + "\n" << view;
        QTest::newRow("no final newline")
            << QByteArray("[Dolphin]\nViewMode=1") << "[Dolphin]\nViewMode=1\n\n[Desktop Entry]\nIcon=" + ours + "\n"
            << QByteArray("[Dolphin]\nViewMode=1\n");
        QTest::newRow("entry group with comments, then others")
            << QByteArray("# made by hand\n[Desktop Entry]\nName=Photos\n# keep\n\n[Dolphin]\nViewMode=2\n")
            << "# made by hand\n[Desktop Entry]\nName=Photos\n# keep\nIcon=" + ours + "\n\n[Dolphin]\nViewMode=2\n"
            << QByteArray("# made by hand\n[Desktop Entry]\nName=Photos\n# keep\n\n[Dolphin]\nViewMode=2\n");
        QTest::newRow("the folder's own icon is kept and comes back")
            << QByteArray("[Desktop Entry]\nIcon = folder-red\n\n[Dolphin]\nViewMode=1\n")
            << "[Desktop Entry]\nIcon=" + ours + "\nX-Glimbar-SavedIcon=folder-red\n\n[Dolphin]\nViewMode=1\n"
            << QByteArray("[Desktop Entry]\nIcon=folder-red\n\n[Dolphin]\nViewMode=1\n");
        QTest::newRow("the folder's own icon alone")
            << QByteArray("[Desktop Entry]\nIcon=folder-music\n")
            << "[Desktop Entry]\nIcon=" + ours + "\nX-Glimbar-SavedIcon=folder-music\n"
            << QByteArray("[Desktop Entry]\nIcon=folder-music\n");
        QTest::newRow("an icon already kept is not overwritten")
            << QByteArray("[Desktop Entry]\nX-Glimbar-SavedIcon=folder-music\nIcon=folder-red\n")
            << "[Desktop Entry]\nX-Glimbar-SavedIcon=folder-music\nIcon=" + ours + "\n"
            << QByteArray("[Desktop Entry]\nIcon=folder-music\n");
        QTest::newRow("icon key of another group")
            << QByteArray("[Other]\nIcon=x\n") << "[Other]\nIcon=x\n\n[Desktop Entry]\nIcon=" + ours + "\n"
            << QByteArray("[Other]\nIcon=x\n");
        QTest::newRow("nested group of that name is another group")
            << QByteArray("[Desktop Entry][Sub]\nIcon=x\n")
            << "[Desktop Entry][Sub]\nIcon=x\n\n[Desktop Entry]\nIcon=" + ours + "\n"
            << QByteArray("[Desktop Entry][Sub]\nIcon=x\n");
    }

    void editsKeepEverythingElse()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, withIcon);
        QFETCH(QByteArray, afterRemoval);

        const QByteArray set = FolderIconFile::withIcon(content, ours);
        QCOMPARE(set, withIcon);
        QCOMPARE(FolderIconFile::withIcon(set, ours), set);
        QList<QByteArray> removed;
        QCOMPARE(FolderIconFile::withoutOurIcon(set, &removed), afterRemoval);
        QCOMPARE(removed, QList<QByteArray> { ours });
    }

    // Only a value of our own form is ours to take out; a look-alike never names a file elsewhere.
    void removalTakesOnlyOurs_data()
    {
        QTest::addColumn<QByteArray>("content");

        QTest::newRow("someone else's icon") << QByteArray("[Desktop Entry]\nIcon=folder-red\n");
        QTest::newRow("our name, other folder")
            << QByteArray("[Desktop Entry]\nIcon=/tmp/.glimbar-icon-0123456789abcdef.png\n");
        QTest::newRow("our prefix, a path after it")
            << QByteArray("[Desktop Entry]\nIcon=./.glimbar-icon-/../../x.png\n");
        QTest::newRow("commented out") << QByteArray("[Desktop Entry]\n#Icon=" + ours + "\n");
        QTest::newRow("another group") << QByteArray("[Dolphin]\nIcon=" + ours + "\n");
    }

    void removalTakesOnlyOurs()
    {
        QFETCH(QByteArray, content);
        QList<QByteArray> removed;
        QCOMPARE(FolderIconFile::withoutOurIcon(content, &removed), content);
        QVERIFY(removed.isEmpty());
    }

    // What a folder ends up with, set and then removed again, from what its ".directory" was.
    void folderSetAndRemoved_data()
    {
        QTest::addColumn<QString>("kind"); // of ".directory": none, file, link, oversized
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("ours"); // whether it is ours to change
        QTest::addColumn<QByteArray>("afterRemoval");

        const QByteArray view = "[Dolphin]\nViewMode=1\n";
        QTest::newRow("absent") << u"none"_s << QByteArray() << true << QByteArray();
        QTest::newRow("with view settings") << u"file"_s << view << true << view;
        QTest::newRow("with its own icon and other keys")
            << u"file"_s << "[Desktop Entry]\nIcon=folder-music\n\n" + view << true
            << "[Desktop Entry]\nIcon=folder-music\n\n" + view;
        QTest::newRow("with only its own icon") << u"file"_s << QByteArray("[Desktop Entry]\nIcon=folder-music\n")
                                                << true << QByteArray("[Desktop Entry]\nIcon=folder-music\n");
        QTest::newRow("symlinked out of the folder") << u"link"_s << view << false << view;
        QTest::newRow("oversized") << u"oversized"_s << QByteArray() << false << QByteArray();
    }

    void folderSetAndRemoved()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(bool, ours);
        QFETCH(QByteArray, afterRemoval);

        QTemporaryDir root;
        const QString folder = root.filePath(u"Folder"_s);
        const QString directory = folder + u"/.directory"_s;
        const QString outside = root.filePath(u"outside.directory"_s);
        QVERIFY(QDir().mkdir(folder));
        if (kind == u"file"_s)
            QVERIFY(LibraryFixture::writeFile(directory, content));
        if (kind == u"oversized"_s) {
            content = QByteArray(FolderIconFile::maxDirectoryFileBytes + 1, '#');
            afterRemoval = content;
            QVERIFY(LibraryFixture::writeFile(directory, content));
        }
        if (kind == u"link"_s) {
            QVERIFY(LibraryFixture::writeFile(outside, content));
            QVERIFY(QFile::link(outside, directory));
        }
        const QStringList before = hiddenListing(folder);

        const QByteArray png = pngOf(qRgba(10, 200, 30, 255));
        const QString picture = FolderIconFile::pictureName(png);
        QCOMPARE(FolderIconFile::apply(folder, png),
            ours ? FolderIconFile::Outcome::done : FolderIconFile::Outcome::leftAlone);
        if (ours) {
            QCOMPARE(LibraryFixture::readFile(directory), FolderIconFile::withIcon(content, "./" + picture.toUtf8()));
            QCOMPARE(LibraryFixture::readFile(folder + u'/' + picture), png);
        } else {
            QCOMPARE(hiddenListing(folder), before);
            QCOMPARE(LibraryFixture::readFile(directory), content);
        }

        QCOMPARE(FolderIconFile::apply(folder, std::nullopt),
            ours ? FolderIconFile::Outcome::done : FolderIconFile::Outcome::leftAlone);
        QCOMPARE(hiddenListing(folder), afterRemoval.isEmpty() && kind != u"link"_s ? QStringList() : before);
        if (!afterRemoval.isEmpty())
            QCOMPARE(LibraryFixture::readFile(directory), afterRemoval);
        if (kind == u"link"_s) {
            QVERIFY(QFileInfo(directory).isSymLink());
            QCOMPARE(LibraryFixture::readFile(outside), content);
        }
    }

    // A new picture takes the place of the old one, whose name readers may have cached; the
    // permissions the user gave ".directory" stay.
    void newPictureReplacesOld()
    {
        QTemporaryDir folder;
        const QString directory = folder.filePath(u".directory"_s);
        QVERIFY(LibraryFixture::writeFile(directory, "[Dolphin]\nViewMode=1\n"));
        QVERIFY(QFile::setPermissions(directory, QFile::ReadOwner | QFile::WriteOwner));

        const QByteArray red = pngOf(qRgba(255, 0, 0, 255));
        const QByteArray blue = pngOf(qRgba(0, 0, 255, 255));
        QCOMPARE(FolderIconFile::apply(folder.path(), red), FolderIconFile::Outcome::done);
        QCOMPARE(FolderIconFile::apply(folder.path(), blue), FolderIconFile::Outcome::done);
        QVERIFY(FolderIconFile::pictureName(red) != FolderIconFile::pictureName(blue));
        QCOMPARE(hiddenListing(folder.path()), QStringList({ u".directory"_s, FolderIconFile::pictureName(blue) }));
        QCOMPARE(LibraryFixture::readFile(directory),
            "[Dolphin]\nViewMode=1\n\n[Desktop Entry]\nIcon=./" + FolderIconFile::pictureName(blue).toUtf8() + "\n");
        struct stat info
        {
        };
        QCOMPARE(::stat(QFile::encodeName(directory).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);

        // Someone chose another icon since: removal leaves their choice alone.
        QVERIFY(LibraryFixture::writeFile(directory, "[Desktop Entry]\nIcon=folder-red\n"));
        QCOMPARE(FolderIconFile::apply(folder.path(), std::nullopt), FolderIconFile::Outcome::done);
        QCOMPARE(LibraryFixture::readFile(directory), QByteArray("[Desktop Entry]\nIcon=folder-red\n"));
    }
};

QTEST_GUILESS_MAIN(TestFolderIconFile)
#include "tst_foldericonfile.moc"
