// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/archives/ziparchive.h"

#include "support/folderlisting.h"
#include "support/zipwriter.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 plenty = qint64(1) << 30;

// The smallest member the unpacker takes for a PNG icon: the signature, then anything.
const QByteArray starPng = "\x89PNG\r\n\x1a\nstar"_ba;

// A zip of one stored member "star" whose name is `name` byte for byte, NUL included, and whose Unix
// mode is `mode` (pipes, devices, set-ID bits): what no archive library writes.
QByteArray rawZip(const QByteArray &name, quint32 mode = S_IFREG | 0644)
{
    const auto le = [](quint32 value, int size) {
        QByteArray bytes;
        for (int i = 0; i < size; ++i)
            bytes.append(char((value >> (8 * i)) & 0xff));
        return bytes;
    };
    const QByteArray data = "star";
    const quint32 crc = 0xc9db5a14; // CRC-32 of "star"
    const QByteArray common = le(20, 2) + le(0, 2) + le(0, 2) + le(0, 2) + le(0, 2) + le(crc, 4)
        + le(quint32(data.size()), 4) + le(quint32(data.size()), 4) + le(quint32(name.size()), 2) + le(0, 2);
    const QByteArray local = "PK\3\4"_ba + common + name + data;
    // Made by Unix (3), so that the reader takes the mode from the high half of the attributes.
    const QByteArray central
        = "PK\1\2"_ba + le(0x0314, 2) + common + le(0, 2) + le(0, 2) + le(0, 2) + le(mode << 16, 4) + le(0, 4) + name;
    const QByteArray end = "PK\5\6"_ba + le(0, 2) + le(0, 2) + le(1, 2) + le(1, 2) + le(quint32(central.size()), 4)
        + le(quint32(local.size()), 4) + le(0, 2);
    return local + central + end;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class TestZipArchive : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_destination;

    QString outside(const QString &name) const { return m_root->filePath(name); }

private slots:
    // One root for the whole run, so that the case tables can name paths outside the destination.
    void initTestCase()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_destination = m_root->filePath(u"dest"_s);
    }

    void init() { QVERIFY(QDir().mkdir(m_destination)); }

    void cleanup()
    {
        for (const QString &name : folderListing(m_root->path())) {
            const QString path = m_root->filePath(name);
            if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
                QDir(path).removeRecursively();
            else
                QFile::remove(path);
        }
    }

    void unpacksFlat_data()
    {
        QTest::addColumn<QByteArray>("zip");
        QTest::addColumn<int>("maxMembers");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<QStringList>("expected");
        const QStringList both { u"Star.png"_s, u"info.json"_s };
        QTest::newRow("members at the root")
            << ZipWriter().file("info.json", "{}").file("Star.png", starPng).build() << 10 << plenty << both;
        QTest::newRow("inside one folder") << ZipWriter()
                                                  .folder("Space.ravivovode/")
                                                  .file("Space.ravivovode/info.json", "{}")
                                                  .file("Space.ravivovode/Star.png", starPng)
                                                  .build()
                                           << 10 << plenty << both;
        QTest::newRow("inside one folder without its own entry")
            << ZipWriter().file("Space/info.json", "{}").file("Space/Star.png", starPng).build() << 10 << plenty
            << both;
        QTest::newRow("empty member") << ZipWriter().file("empty", "").build() << 10 << plenty
                                      << QStringList { u"empty"_s };
        QTest::newRow("no members") << ZipWriter().build() << 10 << plenty << QStringList {};
        QTest::newRow("international name")
            << ZipWriter().file("Étoile 星.png", starPng).build() << 10 << plenty << QStringList { u"Étoile 星.png"_s };
        QTest::newRow("exactly at the member limit")
            << ZipWriter().folder("Space/").file("Space/info.json", "{}").file("Space/Star.png", starPng).build() << 3
            << plenty << both;
        // What ordinary tools add beside a folder's files is passed over.
        const ZipWriter mac = ZipWriter()
                                  .folder("Space/")
                                  .file("Space/info.json", "{}")
                                  .file("Space/Star.png", starPng)
                                  .file("Space/.DS_Store", "finder")
                                  .folder("__MACOSX/")
                                  .folder("__MACOSX/Space/")
                                  .file("__MACOSX/Space/._Star.png", "fork");
        QTest::newRow("zipped on a Mac") << mac.build() << 20 << plenty << both;
        QTest::newRow("hidden folder")
            << ZipWriter().file(".git/config", "x").file("info.json", "{}").file("Star.png", starPng).build() << 10
            << plenty << both;
        QTest::newRow("nested folder") << ZipWriter()
                                              .folder("Space/")
                                              .folder("Space/Deeper/")
                                              .file("Space/Deeper/Star.png", "x")
                                              .file("Space/info.json", "{}")
                                              .file("Space/Star.png", starPng)
                                              .build()
                                       << 10 << plenty << both;
        // Where info.json lies says which files are the container's; the rest is beside it.
        QTest::newRow("subfolder beside root files")
            << ZipWriter().file("Extras/readme.txt", "x").file("info.json", "{}").file("Star.png", starPng).build()
            << 10 << plenty << both;
        QTest::newRow("file beside the folder")
            << ZipWriter().file("readme.txt", "x").file("Space/info.json", "{}").file("Space/Star.png", starPng).build()
            << 10 << plenty << both;
        // The raw writer of the refusals above makes a good archive for a plain file.
        QTest::newRow("raw member") << rawZip("star.txt") << 10 << plenty << QStringList { u"star.txt"_s };
        QTest::newRow("exactly at the byte limit")
            << ZipWriter().file("info.json", "{}").file("Star.png", starPng).build() << 10 << qint64(2 + starPng.size())
            << both;
        // Icons are known by their extension, in any letter case, and each must hold its kind of image.
        QTest::newRow("icons of both kinds")
            << ZipWriter()
                   .file("Moon.ICNS", "icns\0\0\0\x08"_ba)
                   .file("STAR.PNG", starPng)
                   .file("notes.txt", "")
                   .build()
            << 10 << plenty << QStringList { u"Moon.ICNS"_s, u"STAR.PNG"_s, u"notes.txt"_s };
        QTest::newRow("icon of zeros beside the folder, skipped")
            << ZipWriter().file("Space/info.json", "{}").zeros("Extras/zeros.png", 1 << 20).build() << 10 << plenty
            << QStringList { u"info.json"_s };
    }

    void unpacksFlat()
    {
        QFETCH(QByteArray, zip);
        QFETCH(int, maxMembers);
        QFETCH(qint64, maxBytes);
        QFETCH(QStringList, expected);
        QVERIFY(!zip.isEmpty());
        QString message;
        QVERIFY2(ZipArchive::unpack(zip, m_destination, { maxMembers, maxBytes }, &message), qPrintable(message));
        QCOMPARE(folderListing(m_destination), expected);
        if (expected.contains(u"Star.png"_s))
            QCOMPARE(readFile(QDir(m_destination).filePath(u"Star.png"_s)), starPng);
        QCOMPARE(folderListing(m_root->path()), QStringList { u"dest"_s });
    }

    void refusesWholeArchive_data()
    {
        QTest::addColumn<QByteArray>("zip");
        QTest::addColumn<int>("maxMembers");
        QTest::addColumn<qint64>("maxBytes");
        // Most hostile members follow a good one, so that a refusal must also take back what it wrote.
        const ZipWriter good = ZipWriter().file("info.json", "{}");
        QTest::newRow("parent member") << ZipWriter(good).file("../escaped", "x").build() << 10 << plenty;
        QTest::newRow("climbing out of the folder")
            << ZipWriter().file("Space/info.json", "{}").file("Space/../../escaped", "x").build() << 10 << plenty;
        QTest::newRow("absolute member") << ZipWriter(good).file(outside(u"escaped"_s).toUtf8(), "x").build() << 10
                                         << plenty;
        QTest::newRow("dot member") << ZipWriter(good).file("./escaped", "x").build() << 10 << plenty;
        QTest::newRow("symbolic link") << ZipWriter(good).symlink("Star.png", outside(u"escaped"_s).toUtf8()).build()
                                       << 10 << plenty;
        QTest::newRow("symbolic link to a folder, then a file through it")
            << ZipWriter(good).symlink("Space", "..").file("Space/escaped", "x").build() << 10 << plenty;
        // Without info.json nothing says which folder is the container's.
        QTest::newRow("two top folders, no info.json")
            << ZipWriter().file("Space/Star.png", "x").file("Other/Star.png", "x").build() << 10 << plenty;
        QTest::newRow("hidden member climbing out")
            << ZipWriter(good).file(".hidden/../../escaped", "x").build() << 10 << plenty;
        QTest::newRow("resource folder climbing out")
            << ZipWriter(good).file("__MACOSX/../../escaped", "x").build() << 10 << plenty;
        QTest::newRow("NUL in a name") << rawZip("Star.png\0/../../escaped"_ba) << 10 << plenty;
        QTest::newRow("named pipe") << rawZip("pipe", S_IFIFO | 0644) << 10 << plenty;
        QTest::newRow("character device") << rawZip("tty", S_IFCHR | 0644) << 10 << plenty;
        QTest::newRow("set-user-ID file") << rawZip("Star.png", S_IFREG | S_ISUID | 0755) << 10 << plenty;
        QTest::newRow("set-group-ID file") << rawZip("Star.png", S_IFREG | S_ISGID | 0755) << 10 << plenty;
        QTest::newRow("backslash") << ZipWriter(good).file("..\\escaped", "x").build() << 10 << plenty;
        QTest::newRow("line break") << ZipWriter(good).file("Star\n.png", "x").build() << 10 << plenty;
        QTest::newRow("direction override") << ZipWriter(good).file("Star\u202egnp.exe", "x").build() << 10 << plenty;
        QTest::newRow("empty component") << ZipWriter().file("Space//info.json", "{}").build() << 10 << plenty;
        QTest::newRow("name too long") << ZipWriter(good).file(QByteArray(256, 'a'), "x").build() << 10 << plenty;
        QTest::newRow("doubled member") << ZipWriter(good).file("info.json", "{}").build() << 10 << plenty;
        QTest::newRow("doubled folder entry") << ZipWriter().folder("Space/").folder("Space/").build() << 10 << plenty;
        QTest::newRow("encrypted") << ZipWriter().file("info.json", "{}").encrypted().build() << 10 << plenty;
        QTest::newRow("one member too many")
            << ZipWriter().file("a", "").file("b", "").file("c", "").file("d", "").build() << 3 << plenty;
        QTest::newRow("one byte too many")
            << ZipWriter(good).file("Star.png", starPng).build() << 10 << qint64(1 + starPng.size());
        QTest::newRow("PNG member of zeros") << ZipWriter(good).zeros("Star.png", 1 << 20).build() << 10 << plenty;
        QTest::newRow("PNG member upper-case, of zeros")
            << ZipWriter(good).zeros("STAR.PNG", 100).build() << 10 << plenty;
        QTest::newRow("ICNS member holding a PNG")
            << ZipWriter(good).file("Moon.icns", starPng).build() << 10 << plenty;
        QTest::newRow("PNG member shorter than its signature")
            << ZipWriter(good).file("Star.png", starPng.left(7)).build() << 10 << plenty;
        QTest::newRow("empty PNG member") << ZipWriter(good).file("Star.png", "").build() << 10 << plenty;
        QTest::newRow("image after a good one")
            << ZipWriter(good).file("Star.png", starPng).zeros("Moon.icns", 4096).build() << 10 << plenty;
        QTest::newRow("bytes beyond the limit in one member")
            << ZipWriter(good).file("zeros", QByteArray(1 << 20, '\0')).build() << 10 << qint64(1000);
        QTest::newRow("not a zip") << "just some text"_ba << 10 << plenty;
        QTest::newRow("empty input") << QByteArray() << 10 << plenty;
        // Noise does not compress, so the middle of the archive lies inside the member's data.
        QByteArray noise(4096, Qt::Uninitialized);
        QRandomGenerator generator(7);
        for (char &byte : noise)
            byte = char(generator.bounded(256));
        const QByteArray whole = ZipWriter(good).file("noise", noise).build();
        QTest::newRow("truncated") << whole.left(whole.size() / 2) << 10 << plenty;
        QByteArray corrupted = whole;
        corrupted[whole.size() / 2] = char(corrupted[whole.size() / 2] ^ 0x55);
        QTest::newRow("corrupted member data") << corrupted << 10 << plenty;
    }

    void refusesWholeArchive()
    {
        QFETCH(QByteArray, zip);
        QFETCH(int, maxMembers);
        QFETCH(qint64, maxBytes);
        // A member that was there before stays; nothing else is left.
        const QString kept = QDir(m_destination).filePath(u"keep.txt"_s);
        {
            QFile file(kept);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("kept");
        }
        QString message;
        QVERIFY(!ZipArchive::unpack(zip, m_destination, { maxMembers, maxBytes }, &message));
        QVERIFY(!message.isEmpty());
        QVERIFY2(!message.contains(u'\n'), qPrintable(message));
        QCOMPARE(folderListing(m_destination), QStringList { u"keep.txt"_s });
        QCOMPARE(readFile(kept), "kept"_ba);
        QCOMPARE(folderListing(m_root->path()), QStringList { u"dest"_s });
    }

    // Four members of 255 MiB fit in an archive of about a megabyte. Each is refused while streamed,
    // so the unpacker never holds more than a piece of one.
    void largeMembersAreRefusedUnheld_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("members");
        QTest::addColumn<QString>("message");
        QTest::newRow("zeros named as PNG images")
            << QByteArray() << 4 << u"The archive member “a.png” holds no PNG image."_s;
        QTest::newRow("PNG signature, then zeros")
            << starPng << 2 << u"The archive unpacks to more than %1 bytes."_s.arg(qint64(256) << 20);
    }

    void largeMembersAreRefusedUnheld()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, members);
        QFETCH(QString, message);
        ZipWriter writer;
        writer.file("info.json", "{}");
        for (int i = 0; i < members; ++i)
            writer.zeros(QByteArray(1, char('a' + i)) + ".png", (qint64(255) << 20) - head.size(), head);
        const QByteArray zip = writer.build();
        QVERIFY(!zip.isEmpty());
        QVERIFY(zip.size() < (qint64(2) << 20));
        rusage before {};
        QCOMPARE(::getrusage(RUSAGE_SELF, &before), 0);

        QString refusal;
        QVERIFY(!ZipArchive::unpack(zip, m_destination, ZipArchive::Limits {}, &refusal));

        rusage after {};
        QCOMPARE(::getrusage(RUSAGE_SELF, &after), 0);
        QCOMPARE(refusal, message);
        QCOMPARE(folderListing(m_destination), QStringList {});
        // Peak resident memory in KiB: a member held whole would add hundreds of megabytes.
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 64 * 1024,
            qPrintable(u"grew by %1 KiB"_s.arg(after.ru_maxrss - before.ru_maxrss)));
    }

    void neverWritesThroughExistingLink()
    {
        const QString target = outside(u"target"_s);
        {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("untouched");
        }
        QVERIFY(QFile::link(target, QDir(m_destination).filePath(u"Star.png"_s)));
        QString message;
        QVERIFY(!ZipArchive::unpack(ZipWriter().file("Star.png", starPng).build(), m_destination, &message));
        QCOMPARE(readFile(target), "untouched"_ba);
        QVERIFY(QFileInfo(QDir(m_destination).filePath(u"Star.png"_s)).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestZipArchive)
#include "tst_ziparchive.moc"
