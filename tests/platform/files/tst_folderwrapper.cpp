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

QStringList memberNames(const FolderWrapper &folder)
{
    QStringList names;
    for (const FolderWrapper::Member &member : folder.members())
        names << member.name;
    return names;
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
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
        QCOMPARE(memberNames(folder), expected);
        // Each member keeps its own contents.
        for (qsizetype i = 0; i < preferred.size(); ++i)
            QCOMPARE(folder.members().at(i).contents, preferred.at(i).toUtf8());
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
        QCOMPARE(folder.members().size(), 1);
        QCOMPARE(folder.members().first().contents, "{}"_ba);
    }

    void writeKeepsNamesAndContents()
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

        QStringList expected = memberNames(folder);
        expected.sort();
        QCOMPARE(listing(destination), expected);
        for (const auto &member : folder.members())
            QCOMPARE(fileContents(destination + u'/' + member.name), member.contents);
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

    // The names it gives are written as they are, those with a control or format character too:
    // a library folder may hold them, and its export must not fail on them.
    void writeKeepsTheNamesItGives()
    {
        FolderWrapper folder;
        QStringList names;
        for (const QString &name : { u"line\nbreak.png"_s, u"\u202eright\\left.icns"_s, u".hidden"_s })
            names << folder.addRegularFile(name.toUtf8(), name);
        QCOMPARE(names.mid(0, 2), QStringList({ u"line\nbreak.png"_s, u"\u202eright\\left.icns"_s }));
        QString message;
        QVERIFY2(folder.write(path(u"copy"_s), &message), qPrintable(message));
        QStringList sorted = names;
        sorted.sort();
        QCOMPARE(listing(path(u"copy"_s)), sorted);
        for (const FolderWrapper::Member &member : folder.members())
            QCOMPARE(fileContents(path(u"copy/"_s + member.name)), member.contents);
    }
};

QTEST_GUILESS_MAIN(TestFolderWrapper)
#include "tst_folderwrapper.moc"
