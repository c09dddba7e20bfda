// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/folderwrapper.h"

#include "support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

// Everything in a folder, hidden members too.
QStringList listing(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestFolderWrapper : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { m_dir.reset(); }

    void clashingNamesGetNumbers_data()
    {
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("distinct") << QStringList { u"a.png"_s, u"b.png"_s } << QStringList { u"a.png"_s, u"b.png"_s };
        QTest::newRow("same name thrice") << QStringList { u"Star.icns"_s, u"Star.icns"_s, u"Star.icns"_s }
                                          << QStringList { u"Star.icns"_s, u"Star 2.icns"_s, u"Star 3.icns"_s };
        QTest::newRow("without extension")
            << QStringList { u"Star"_s, u"Star"_s } << QStringList { u"Star"_s, u"Star 2"_s };
        QTest::newRow("numbered name already taken") << QStringList { u"Star 2.icns"_s, u"Star.icns"_s,
            u"Star.icns"_s } << QStringList { u"Star 2.icns"_s, u"Star.icns"_s, u"Star 3.icns"_s };
        QTest::newRow("letter case differs")
            << QStringList { u"star.icns"_s, u"Star.icns"_s } << QStringList { u"star.icns"_s, u"Star.icns"_s };
        QTest::newRow("canonically equivalent")
            << QStringList { u"Caf\u00e9.icns"_s, u"Cafe\u0301.icns"_s, u"Cafe\u0301.icns"_s }
            << QStringList { u"Caf\u00e9.icns"_s, u"Cafe\u0301 2.icns"_s, u"Cafe\u0301 3.icns"_s };
        QTest::newRow("unsafe names") << QStringList { u"../x"_s, QString(), u"."_s, u"_"_s }
                                      << QStringList { u"_._x"_s, u"_"_s, u"_ 2"_s, u"_ 3"_s };
    }

    void clashingNamesGetNumbers()
    {
        QFETCH(QStringList, preferred);
        QFETCH(QStringList, expected);
        FolderWrapper folder;
        QStringList returned;
        for (const QString &name : preferred)
            returned << folder.addRegularFile(name.toUtf8(), name);
        QCOMPARE(returned, expected);
        QCOMPARE(folder.memberNames(), expected);
        // Each member keeps its own contents.
        for (qsizetype i = 0; i < preferred.size(); ++i)
            QCOMPARE(folder.regularFileContents(expected.at(i)), std::optional(preferred.at(i).toUtf8()));
    }

    void longClashingNameStaysWithinBounds()
    {
        const QString longName = QString(300, u'x') + u".icns"_s;
        FolderWrapper folder;
        const QString first = folder.addRegularFile("1"_ba, longName);
        const QString second = folder.addRegularFile("2"_ba, longName);
        QVERIFY(first != second);
        for (const QString &name : { first, second }) {
            QVERIFY(name.toUtf8().size() <= 255);
            QVERIFY(name.endsWith(u".icns"));
        }
        QVERIFY(second.endsWith(u" 2.icns"));
    }

    void setContents()
    {
        FolderWrapper folder;
        folder.addRegularFile({}, u"info.json"_s);
        QVERIFY(folder.setRegularFileContents(u"info.json"_s, "{}"_ba));
        QVERIFY(!folder.setRegularFileContents(u"other"_s, "{}"_ba));
        QCOMPARE(folder.regularFileContents(u"info.json"_s), std::optional("{}"_ba));
        QVERIFY(!folder.regularFileContents(u"other"_s));
    }

    void writeThenRead()
    {
        FolderWrapper folder;
        folder.addRegularFile("{}"_ba, u"info.json"_s);
        folder.addRegularFile(QByteArray("\x00\x01icns", 6), u"Star.icns"_s);
        folder.addRegularFile(QByteArray(), u"Empty.png"_s);
        folder.addRegularFile("long"_ba, QString(300, u'n') + u".png"_s);
        const QString destination = path(u"Space.ravivovode"_s);
        QString error;
        QVERIFY2(folder.write(destination, &error), qPrintable(error));
        QCOMPARE(listing(m_dir->path()), QStringList { u"Space.ravivovode"_s });

        const auto read = FolderWrapper::read(destination, &error);
        QVERIFY2(read, qPrintable(error));
        QStringList expected = folder.memberNames();
        expected.sort();
        QCOMPARE(read->memberNames(), expected);
        for (const auto &member : folder.members())
            QCOMPARE(read->regularFileContents(member.name), std::optional(member.contents));
    }

    void writeUnderLongestName()
    {
        FolderWrapper folder;
        folder.addRegularFile("x"_ba, QString(255, u'm'));
        const QString destination = path(QString(244, u'd') + u".ravivovode"_s);
        QString error;
        QVERIFY2(folder.write(destination, &error), qPrintable(error));
        QCOMPARE(listing(destination), QStringList { QString(255, u'm') });
    }

    void writeReplacesExistingDestination()
    {
        const QString destination = path(u"Space.ravivovode"_s);
        QVERIFY(QDir().mkpath(destination + u"/nested"_s));
        writeFile(destination + u"/old.icns"_s, "old"_ba);
        FolderWrapper folder;
        folder.addRegularFile("new"_ba, u"new.icns"_s);
        QVERIFY(folder.write(destination));
        QCOMPARE(listing(destination), QStringList { u"new.icns"_s });
        QCOMPARE(listing(m_dir->path()), QStringList { u"Space.ravivovode"_s });
    }

    void failedWriteLeavesNothing()
    {
        FolderWrapper folder;
        folder.addRegularFile("small"_ba, u"a.icns"_s);
        folder.addRegularFile(QByteArray(64 * 1024, 'x'), u"b.icns"_s);
        const QString destination = path(u"Space.ravivovode"_s);
        QString error;
        {
            const FileSizeLimit limit(4096);
            QVERIFY(!folder.write(destination, &error));
        }
        QVERIFY(!error.isEmpty());
        QCOMPARE(listing(m_dir->path()), QStringList());
    }

    void failedWriteKeepsOldDestination()
    {
        const QString destination = path(u"Space.ravivovode"_s);
        QVERIFY(QDir().mkpath(destination));
        writeFile(destination + u"/old.icns"_s, "old"_ba);
        FolderWrapper folder;
        folder.addRegularFile(QByteArray(64 * 1024, 'x'), u"big.icns"_s);
        {
            const FileSizeLimit limit(4096);
            QVERIFY(!folder.write(destination));
        }
        QCOMPARE(listing(destination), QStringList { u"old.icns"_s });
        QCOMPARE(listing(m_dir->path()), QStringList { u"Space.ravivovode"_s });
    }

    void writeIntoMissingFolderFails()
    {
        FolderWrapper folder;
        folder.addRegularFile("x"_ba, u"a"_s);
        QString error;
        QVERIFY(!folder.write(path(u"missing/Space.ravivovode"_s), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(path(u"missing"_s)));
    }

    void readTakesRegularFilesOnly()
    {
        const QString source = path(u"source"_s);
        QVERIFY(QDir().mkpath(source + u"/sub"_s));
        writeFile(source + u"/b.png"_s, "b"_ba);
        writeFile(source + u"/.hidden"_s, "h"_ba);
        writeFile(source + u"/sub/inner.png"_s, "i"_ba);
        writeFile(path(u"outside.png"_s), "secret"_ba);
        QVERIFY(QFile::link(path(u"outside.png"_s), source + u"/link.png"_s));
        const auto read = FolderWrapper::read(source);
        QVERIFY(read);
        QCOMPARE(read->memberNames(), QStringList({ u".hidden"_s, u"b.png"_s }));
    }

    // Names read from disk are written back as they are, hidden ones and those with a control or
    // format character too: a library folder may hold them, and its export must not fail on them.
    void writeKeepsNamesReadFromDisk()
    {
        const QString source = path(u"source"_s);
        QVERIFY(QDir().mkpath(source));
        const QStringList names { u".hidden"_s, u"line\nbreak.png"_s, u"\u202eright\\left.icns"_s };
        for (const QString &name : names)
            writeFile(source + u'/' + name, name.toUtf8());
        const auto read = FolderWrapper::read(source);
        QVERIFY(read);
        QString message;
        QVERIFY2(read->write(path(u"copy"_s), &message), qPrintable(message));
        const auto copy = FolderWrapper::read(path(u"copy"_s));
        QVERIFY(copy);
        QCOMPARE(copy->memberNames(), read->memberNames());
        for (const QString &name : names)
            QCOMPARE(copy->regularFileContents(name), std::optional(name.toUtf8()));
    }

    void readRefuses_data()
    {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::newRow("one file too large") << QList<qint64> { FolderWrapper::maxFileBytes + 1 };
        QList<qint64> many(9, FolderWrapper::maxFileBytes);
        QTest::newRow("too large together") << many;
    }

    void readRefuses()
    {
        QFETCH(QList<qint64>, sizes);
        const QString source = path(u"source"_s);
        QVERIFY(QDir().mkpath(source));
        // Sparse files: large to look at, nothing to store.
        for (qsizetype i = 0; i < sizes.size(); ++i) {
            QFile file(source + u"/f%1"_s.arg(i));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(sizes.at(i)));
        }
        QString error;
        QVERIFY(!FolderWrapper::read(source, &error));
        QVERIFY(error.contains(u"too large"));
    }

    void readMissingFolderFails()
    {
        QString error;
        QVERIFY(!FolderWrapper::read(path(u"missing"_s), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFolderWrapper)
#include "tst_folderwrapper.moc"
