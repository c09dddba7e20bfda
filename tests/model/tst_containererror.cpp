// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/containererror.h"
#include "model/containerresult.h"

#include <QTest>

Q_DECLARE_METATYPE(ContainerError)

class TestContainerError : public QObject
{
    Q_OBJECT

private slots:
    void description_data()
    {
        QTest::addColumn<ContainerError>("error");
        QTest::addColumn<QString>("message");
        QTest::newRow("writeContainerFailed")
            << ContainerError::writeContainerFailed << QStringLiteral("Saving the rAvivovode failed.");
        QTest::newRow("writeInfoFailed") << ContainerError::writeInfoFailed
                                         << QStringLiteral("Saving the rAvivovode\u2019s metadata failed.");
        QTest::newRow("writeIconFailed") << ContainerError::writeIconFailed
                                         << QStringLiteral("Saving the icon failed.");
        QTest::newRow("missingIconData") << ContainerError::missingIconData << QStringLiteral("The icon has no data.");
        QTest::newRow("iconExtensionError")
            << ContainerError::iconExtensionError
            << QStringLiteral("An error occured determining the file extension for an icon.");
        QTest::newRow("invalidURL") << ContainerError::invalidURL
                                    << QStringLiteral("The rAvivovode download URL is invalid.");
        QTest::newRow("downloadFailed") << ContainerError::downloadFailed
                                        << QStringLiteral("The rAvivovode could not be downloaded.");
        QTest::newRow("libraryError") << ContainerError::libraryError
                                      << QStringLiteral("An error occured finding the rAvivovode library.");
    }

    void description()
    {
        QFETCH(ContainerError, error);
        QFETCH(QString, message);
        QCOMPARE(errorDescription(error), message);
    }

    void typographicApostrophe()
    {
        const QString text = errorDescription(ContainerError::writeInfoFailed);
        QVERIFY(text.contains(QChar(0x2019)));
        QVERIFY(!text.contains(u'\''));
    }

    void equality()
    {
        QVERIFY(ContainerError::missingIconData == ContainerError::missingIconData);
        QVERIFY(ContainerError::missingIconData != ContainerError::writeIconFailed);
    }

    void result()
    {
        const ContainerResult<int> value = 7;
        QVERIFY(value.hasValue());
        QCOMPARE(value.value(), 7);

        const ContainerResult<int> failure = ContainerError::downloadFailed;
        QVERIFY(!failure);
        QCOMPARE(failure.error(), ContainerError::downloadFailed);

        const ContainerResult<void> done;
        QVERIFY(done);
        const ContainerResult<void> failed = ContainerError::writeInfoFailed;
        QVERIFY(!failed);
        QCOMPARE(failed.error(), ContainerError::writeInfoFailed);
    }
};

QTEST_GUILESS_MAIN(TestContainerError)
#include "tst_containererror.moc"
