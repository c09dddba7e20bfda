// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/safefilename.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSafeFileName : public QObject
{
    Q_OBJECT

private slots:
    void rewrites_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << u"Star.icns"_s << u"Star.icns"_s;
        QTest::newRow("inner dot kept") << u"a.b.png"_s << u"a.b.png"_s;
        QTest::newRow("slash") << u"a/b"_s << u"a_b"_s;
        QTest::newRow("only slash") << u"/"_s << u"_"_s;
        QTest::newRow("climbing path") << u"../../etc/passwd"_s << u"_._.._etc_passwd"_s;
        QTest::newRow("absolute path") << u"/etc/passwd"_s << u"_etc_passwd"_s;
        QTest::newRow("NUL") << u"a\0b"_s << u"a_b"_s;
        QTest::newRow("dot") << u"."_s << u"_"_s;
        QTest::newRow("dot dot") << u".."_s << u"_."_s;
        QTest::newRow("hidden") << u".DS_Store"_s << u"_DS_Store"_s;
        QTest::newRow("empty") << QString() << u"_"_s;
        QTest::newRow("backslash stays") << u"a\\b"_s << u"a\\b"_s;
        QTest::newRow("unpaired surrogate") << QString(QChar(0xd800)) + u"x"_s << u"\ufffdx"_s;
        const QString exactly255 = QString(251, u'a') + u".png"_s;
        QTest::newRow("255 bytes stays") << exactly255 << exactly255;
    }

    void rewrites()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(safeFileName(name), expected);
    }

    void shortens_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::newRow("ASCII") << QString(300, u'a') + u".icns"_s << u".icns"_s;
        QTest::newRow("two-byte letters") << QString(200, QChar(0xe9)) + u".png"_s << u".png"_s;
        QTest::newRow("three-byte letters") << QString(100, QChar(0x6f22)) + u".png"_s << u".png"_s;
        QTest::newRow("four-byte letters") << u"🚀"_s.repeated(80) + u".json"_s << u".json"_s;
        QTest::newRow("no extension") << QString(300, u'a') << QString();
        QTest::newRow("extension too long to keep") << u"a."_s + QString(300, u'b') << QString();
        QTest::newRow("hidden and long") << u"."_s + QString(300, u'c') << QString();
    }

    void shortens()
    {
        QFETCH(QString, name);
        QFETCH(QString, extension);
        const QString safe = safeFileName(name);
        const QByteArray bytes = safe.toUtf8();
        QVERIFY(bytes.size() <= maxFileNameBytes);
        QVERIFY(bytes.size() > maxFileNameBytes - 4); // nothing cut that would have fitted
        // The start of the name is kept (its first letter may have been a rewritten dot).
        QVERIFY(name.mid(1).startsWith(safe.chopped(extension.size()).mid(1)));
        if (!extension.isEmpty())
            QVERIFY(safe.endsWith(extension));
        // Cut between code points only: decoding gives the same text back.
        QCOMPARE(QString::fromUtf8(bytes), safe);
        QVERIFY(!safe.front().isLowSurrogate() && !safe.back().isHighSurrogate());
    }

    void isStable_data() { rewrites_data(); }

    void isStable()
    {
        QFETCH(QString, name);
        const QString once = safeFileName(name);
        QCOMPARE(safeFileName(once), once);
        QVERIFY(!once.isEmpty());
        QVERIFY(!once.startsWith(u'.'));
        QVERIFY(!once.contains(u'/'));
        QVERIFY(!once.contains(QChar::Null));
    }

    // Safe names can be written as they stand; plain ones also read as what they are.
    void safeAndPlainNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::addColumn<bool>("plain");
        QTest::newRow("ordinary") << u"Star.icns"_s << true << true;
        QTest::newRow("hidden") << u".hidden"_s << true << true;
        QTest::newRow("line break") << u"line\nbreak.icns"_s << true << false;
        QTest::newRow("direction override") << u"\u202eright.icns"_s << true << false;
        QTest::newRow("leading U+FEFF") << u"\ufeffBOM.icns"_s << true << false;
        QTest::newRow("backslash") << u"back\\slash.icns"_s << true << false;
        QTest::newRow("slash") << u"a/b"_s << false << false;
        QTest::newRow("dot") << u"."_s << false << false;
        QTest::newRow("dot dot") << u".."_s << false << false;
        QTest::newRow("empty") << QString() << false << false;
        QTest::newRow("too long") << QString(256, u'a') << false << false;
    }

    void safeAndPlainNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QFETCH(bool, plain);
        QCOMPARE(isSafeFileName(name), safe);
        QCOMPARE(isPlainFileName(name), plain);
    }
};

QTEST_GUILESS_MAIN(TestSafeFileName)
#include "tst_safefilename.moc"
