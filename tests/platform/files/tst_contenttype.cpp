// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/contenttype.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestContentType : public QObject
{
    Q_OBJECT

private slots:
    void fromFileName_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("isFolder");
        QTest::addColumn<QString>("identifier");
        QTest::newRow("icns") << u"Star.icns"_s << false << u"image/x-icns"_s;
        QTest::newRow("icns in capitals") << u"Star.ICNS"_s << false << u"image/x-icns"_s;
        QTest::newRow("png") << u"a.b.png"_s << false << u"image/png"_s;
        QTest::newRow("non-ASCII extension") << u"Star.ïcns"_s << false << u"application/octet-stream"_s;
        QTest::newRow("json") << u"info.json"_s << false << u"application/json"_s;
        QTest::newRow("jpg is data") << u"photo.jpg"_s << false << u"application/octet-stream"_s;
        QTest::newRow("no extension") << u"README"_s << false << u"application/octet-stream"_s;
        QTest::newRow("hidden name is no extension") << u".png"_s << false << u"application/octet-stream"_s;
        QTest::newRow("own container") << u"Space.ravivovode"_s << true << u"com.tarnveld.glimbar.ravivovode"_s;
        QTest::newRow("legacy archive") << u"Space.Ravivovode"_s << false
                                        << u"com.tarnveld.glimbar.legacy-ravivovode"_s;
        QTest::newRow("plain folder") << u"Test"_s << true << u"inode/directory"_s;
        QTest::newRow("folder named like a picture") << u"Test.png"_s << true << u"inode/directory"_s;
    }

    void fromFileName()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, isFolder);
        QFETCH(QString, identifier);
        const ContentType &type = ContentType::fromFileName(fileName, isFolder);
        QCOMPARE(type.identifier(), identifier);
        QCOMPARE(type.isFolder(), isFolder);
    }

    void conformance()
    {
        QVERIFY(ContentType::icns().conforms(ContentType::icns()));
        QVERIFY(ContentType::icns().conforms(ContentType::data()));
        QVERIFY(!ContentType::icns().conforms(ContentType::png()));
        QVERIFY(!ContentType::data().conforms(ContentType::icns()));
        QVERIFY(ownContainerType().conforms(ContentType::folder()));
        QVERIFY(!ContentType::folder().conforms(ownContainerType()));
        QVERIFY(!legacyContainerType().conforms(ownContainerType()));
        QVERIFY(!ownContainerType().conforms(legacyContainerType()));
    }

    void extensionsAndSharing()
    {
        QCOMPARE(ContentType::icns().preferredFilenameExtension(), u"icns"_s);
        QCOMPARE(ContentType::png().preferredFilenameExtension(), u"png"_s);
        QCOMPARE(ContentType::json().preferredFilenameExtension(), u"json"_s);
        QCOMPARE(ownContainerType().preferredFilenameExtension(), u"ravivovode"_s);
        QCOMPARE(legacyContainerType().preferredFilenameExtension(), u"ravivovode"_s);
        QVERIFY(ContentType::folder().preferredFilenameExtension().isEmpty());
        // Made once and shared.
        QCOMPARE(&ownContainerType(), &ContentType::fromFileName(u"x.ravivovode"_s, true));
    }
};

QTEST_GUILESS_MAIN(TestContentType)
#include "tst_contenttype.moc"
