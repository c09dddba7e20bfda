// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ziparchive.h"

#include "support/folderlisting.h"
#include "support/zipwriter.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 plenty = qint64(1) << 30;

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
            << ZipWriter().file("info.json", "{}").file("Star.png", "star").build() << 10 << plenty << both;
        QTest::newRow("inside one folder") << ZipWriter()
                                                  .folder("Space.ravivovode/")
                                                  .file("Space.ravivovode/info.json", "{}")
                                                  .file("Space.ravivovode/Star.png", "star")
                                                  .build()
                                           << 10 << plenty << both;
        QTest::newRow("inside one folder without its own entry")
            << ZipWriter().file("Space/info.json", "{}").file("Space/Star.png", "star").build() << 10 << plenty << both;
        QTest::newRow("empty member") << ZipWriter().file("empty", "").build() << 10 << plenty
                                      << QStringList { u"empty"_s };
        QTest::newRow("no members") << ZipWriter().build() << 10 << plenty << QStringList {};
        QTest::newRow("international name")
            << ZipWriter().file("Étoile 星.png", "star").build() << 10 << plenty << QStringList { u"Étoile 星.png"_s };
        QTest::newRow("exactly at the member limit")
            << ZipWriter().folder("Space/").file("Space/info.json", "{}").file("Space/Star.png", "star").build() << 3
            << plenty << both;
        QTest::newRow("exactly at the byte limit")
            << ZipWriter().file("info.json", "{}").file("Star.png", "star").build() << 10 << qint64(6) << both;
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
            QCOMPARE(readFile(QDir(m_destination).filePath(u"Star.png"_s)), "star"_ba);
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
        QTest::newRow("nested folder") << ZipWriter().folder("Space/").folder("Space/Deeper/").build() << 10 << plenty;
        QTest::newRow("file in a nested folder")
            << ZipWriter(good).file("Space/Deeper/Star.png", "x").build() << 10 << plenty;
        QTest::newRow("two top folders")
            << ZipWriter().file("Space/info.json", "{}").file("Other/Star.png", "x").build() << 10 << plenty;
        QTest::newRow("file beside the folder")
            << ZipWriter().file("Space/info.json", "{}").file("Star.png", "x").build() << 10 << plenty;
        QTest::newRow("folder after root files") << ZipWriter(good).folder("Space/").build() << 10 << plenty;
        QTest::newRow("hidden file") << ZipWriter(good).file(".hidden", "x").build() << 10 << plenty;
        QTest::newRow("hidden folder") << ZipWriter().file(".git/info.json", "{}").build() << 10 << plenty;
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
        QTest::newRow("one byte too many") << ZipWriter(good).file("Star.png", "star").build() << 10 << qint64(5);
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
        QVERIFY(!ZipArchive::unpack(ZipWriter().file("Star.png", "overwritten").build(), m_destination, &message));
        QCOMPARE(readFile(target), "untouched"_ba);
        QVERIFY(QFileInfo(QDir(m_destination).filePath(u"Star.png"_s)).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestZipArchive)
#include "tst_ziparchive.moc"
