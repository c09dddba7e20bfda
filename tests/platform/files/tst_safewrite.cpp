// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/safewrite.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

QStringList listing(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The id of a process that has run and been reaped.
qint64 deadProcessId()
{
    QProcess process;
    process.start(u"true"_s, {});
    if (!process.waitForStarted())
        return 0;
    const qint64 id = process.processId();
    process.waitForFinished();
    return id;
}

} // namespace

class TestSafeWrite : public QObject
{
    Q_OBJECT

private slots:
    // A kill between writing a temporary and renaming it leaves the temporary; the next write into
    // that folder removes it, and never one whose writer still runs.
    void writeSweepsDeadWritersTemporaries()
    {
        QTemporaryDir dir;
        const qint64 dead = deadProcessId();
        QVERIFY(dead > 0);
        const QString deadName = u".glimbar-write-%1-dead"_s.arg(dead);
        const QString ownName = u".glimbar-write-%1-own"_s.arg(::getpid());
        const QString parentName = u".glimbar-write-%1-parent"_s.arg(::getppid());
        // Without a process id nothing tells whether its writer still runs.
        const QString unnamed = u".glimbar-write-unnamed"_s;
        for (const QString &name : { deadName, ownName, parentName, unnamed })
            writeFile(dir.filePath(name), "half");

        QString reason;
        QVERIFY2(writeFileAtomically(dir.filePath(u"info.json"_s), "{}", &reason), qPrintable(reason));

        QStringList expected { ownName, parentName, unnamed, u"info.json"_s };
        expected.sort();
        QCOMPARE(listing(dir.path()), expected);
        QFile written(dir.filePath(u"info.json"_s));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), "{}");
    }
};

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "tst_safewrite.moc"
