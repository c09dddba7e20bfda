// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/containerdocument.h"
#include "model/containerjson.h"
#include "model/iconfile.h"

#include "support/filesizelimit.h"
#include "support/standardoutputcapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

Icon makeIcon(const QString &name, IconFileType type, std::optional<QByteArray> icns, std::optional<QByteArray> image,
    std::optional<QString> filename = std::nullopt)
{
    return Icon { .id = QUuid::createUuid(),
        .name = name,
        .type = type,
        .icnsData = std::move(icns),
        .imageData = std::move(image),
        .author = u"Ann"_s,
        .copyright = u"© Ann"_s,
        .authorURL = u"https://example.org"_s,
        .filename = std::move(filename) };
}

QStringList memberNames(const FolderWrapper &folder)
{
    QStringList names;
    for (const FolderWrapper::Member &member : folder.members())
        names << member.name;
    return names;
}

std::optional<QByteArray> contents(const FolderWrapper &folder, const QString &name)
{
    for (const FolderWrapper::Member &member : folder.members()) {
        if (member.name == name)
            return member.contents;
    }
    return std::nullopt;
}

std::optional<QByteArray> fileContents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// The file names that the written "info.json" records for the icons, in order.
QStringList recordedFileNames(const FolderWrapper &folder)
{
    const auto info = contents(folder, containerInfoFileName.toString());
    if (!info)
        return {};
    const auto decoded = decodeContainerJson(*info);
    if (!decoded)
        return {};
    QStringList names;
    for (const Icon &icon : decoded.value().icons)
        names << icon.filename.value_or(u"(none)"_s);
    return names;
}

} // namespace

class TestContainerDocument : public QObject
{
    Q_OBJECT

private slots:
    void containerWithoutIconsHoldsOnlyInfo()
    {
        const IconContainer container { .title = u"Space"_s };
        const auto folder = containerFileWrapper(container);
        QVERIFY(folder);
        QCOMPARE(memberNames(folder.value()), QStringList { u"info.json"_s });
        const auto decoded = decodeContainerJson(*contents(folder.value(), u"info.json"_s));
        QVERIFY(decoded);
        QCOMPARE(decoded.value().title, u"Space"_s);
    }

    void iconFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<std::optional<QString>>("filename");
        QTest::addColumn<IconFileType>("type");
        QTest::addColumn<QString>("expected");
        const std::optional<QString> none;
        QTest::newRow("name gets extension") << u"Star"_s << none << IconFileType::icns << u"Star.icns"_s;
        QTest::newRow("file name with extension")
            << u"Star"_s << std::optional(u"Star.icns"_s) << IconFileType::icns << u"Star.icns"_s;
        QTest::newRow("file name without extension")
            << u"Star"_s << std::optional(u"Other"_s) << IconFileType::icns << u"Other.icns"_s;
        QTest::newRow("name with extension") << u"Star.icns"_s << none << IconFileType::icns << u"Star.icns"_s;
        QTest::newRow("image") << u"Moon"_s << none << IconFileType::image << u"Moon.png"_s;
        QTest::newRow("image named like ICNS") << u"Moon.icns"_s << none << IconFileType::image << u"Moon.icns.png"_s;
        QTest::newRow("extension in capitals") << u"Star.ICNS"_s << none << IconFileType::icns << u"Star.ICNS.icns"_s;
        QTest::newRow("climbing name") << u"../../evil"_s << none << IconFileType::icns << u"_._.._evil.icns"_s;
        QTest::newRow("climbing file name")
            << u"Star"_s << std::optional(u"/tmp/x.png"_s) << IconFileType::image << u"_tmp_x.png"_s;
        QTest::newRow("empty name") << QString() << none << IconFileType::icns << u"_.icns"_s;
        QTest::newRow("dot dot") << u".."_s << none << IconFileType::image << u"_..png"_s;
        QTest::newRow("hidden name") << u".icns"_s << none << IconFileType::icns << u"_icns.icns"_s;
    }

    void iconFileNames()
    {
        QFETCH(QString, name);
        QFETCH(std::optional<QString>, filename);
        QFETCH(IconFileType, type);
        QFETCH(QString, expected);
        const QByteArray data = "icon-bytes"_ba;
        IconContainer container;
        container.icons = { makeIcon(name, type, type == IconFileType::icns ? std::optional(data) : std::nullopt,
            type == IconFileType::image ? std::optional(data) : std::nullopt, filename) };
        const auto folder = containerFileWrapper(container);
        QVERIFY(folder);
        QCOMPARE(memberNames(folder.value()), QStringList({ u"info.json"_s, expected }));
        QCOMPARE(contents(folder.value(), expected), std::optional(data));
        // The document names the file as written, also for an icon that had no file name.
        QCOMPARE(recordedFileNames(folder.value()), QStringList { expected });
    }

    void missingDataOfItsKindFails_data()
    {
        QTest::addColumn<IconFileType>("type");
        QTest::addColumn<std::optional<QByteArray>>("icns");
        QTest::addColumn<std::optional<QByteArray>>("image");
        QTest::newRow("ICNS icon with image data only")
            << IconFileType::icns << std::optional<QByteArray>() << std::optional("png"_ba);
        QTest::newRow("image icon with ICNS data only")
            << IconFileType::image << std::optional("icns"_ba) << std::optional<QByteArray>();
    }

    void missingDataOfItsKindFails()
    {
        QFETCH(IconFileType, type);
        QFETCH(std::optional<QByteArray>, icns);
        QFETCH(std::optional<QByteArray>, image);
        IconContainer container;
        container.icons = { makeIcon(u"Fine"_s, IconFileType::icns, "ok"_ba, std::nullopt),
            makeIcon(u"Broken"_s, type, icns, image) };
        const auto folder = containerFileWrapper(container);
        QVERIFY(!folder);
        QCOMPARE(folder.error(), ContainerError::missingIconData);
    }

    void clashingNamesAreRecordedAsWritten()
    {
        IconContainer container;
        container.icons = {
            makeIcon(u"A"_s, IconFileType::icns, "first"_ba, std::nullopt, u"Star.icns"_s),
            makeIcon(u"B"_s, IconFileType::icns, "second"_ba, std::nullopt, u"Star.icns"_s),
            makeIcon(u"Star"_s, IconFileType::icns, "third"_ba, std::nullopt),
            makeIcon(u"Moon"_s, IconFileType::image, std::nullopt, "png"_ba),
        };
        const IconContainer before = container;
        const auto folder = containerFileWrapper(container);
        QVERIFY(folder);
        const QStringList expected { u"Star.icns"_s, u"Star 2.icns"_s, u"Star 3.icns"_s, u"Moon.png"_s };
        QCOMPARE(memberNames(folder.value()), QStringList { u"info.json"_s } + expected);
        QCOMPARE(recordedFileNames(folder.value()), expected);
        QCOMPARE(contents(folder.value(), u"Star.icns"_s), std::optional("first"_ba));
        QCOMPARE(contents(folder.value(), u"Star 2.icns"_s), std::optional("second"_ba));
        QCOMPARE(contents(folder.value(), u"Star 3.icns"_s), std::optional("third"_ba));

        // The container in memory is as it was.
        for (qsizetype i = 0; i < container.icons.size(); ++i)
            QCOMPARE(container.icons.at(i).filename, before.icons.at(i).filename);
    }

    void encodingFailureFailsTheWrite()
    {
        IconContainer container;
        container.backgroundColor = RGBAColor { std::numeric_limits<double>::quiet_NaN(), 0, 0, 1 };
        container.icons = { makeIcon(u"Star"_s, IconFileType::icns, "x"_ba, std::nullopt) };
        StandardOutputCapture output;
        const auto folder = containerFileWrapper(container);
        QVERIFY(!folder);
        QCOMPARE(folder.error(), ContainerError::writeInfoFailed);
        QCOMPARE(output.takeLines().size(), 1);
    }

    void writtenDocumentReadsBack()
    {
        IconContainer container { .title = u"Space"_s };
        container.icons = {
            makeIcon(u"Star"_s, IconFileType::icns, "icns"_ba, std::nullopt, u"Star.icns"_s),
            makeIcon(u"Star"_s, IconFileType::icns, "icns2"_ba, std::nullopt),
            makeIcon(u"../Moon"_s, IconFileType::image, std::nullopt, "png"_ba),
        };
        const auto folder = containerFileWrapper(container);
        QVERIFY(folder);
        QTemporaryDir dir;
        const QString destination = dir.filePath(u"Export.ravivovode"_s);
        QVERIFY(folder.value().write(destination));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { u"Export.ravivovode"_s });

        // Every file that info.json names is in the folder, holding that icon's data.
        const auto info = fileContents(destination + u"/info.json"_s);
        QVERIFY(info);
        const auto decoded = decodeContainerJson(*info);
        QVERIFY(decoded);
        QCOMPARE(decoded.value().icons.size(), 3);
        for (qsizetype i = 0; i < 3; ++i) {
            const QString name = decoded.value().icons.at(i).filename.value_or(QString());
            QCOMPARE(fileContents(destination + u'/' + name), iconFileData(container.icons.at(i)));
        }
    }

    void failedWriteLeavesNothing()
    {
        IconContainer container;
        container.icons = { makeIcon(u"Big"_s, IconFileType::icns, QByteArray(64 * 1024, 'x'), std::nullopt) };
        const auto folder = containerFileWrapper(container);
        QVERIFY(folder);
        QTemporaryDir dir;
        {
            const FileSizeLimit limit(4096);
            QVERIFY(!folder.value().write(dir.filePath(u"Export.ravivovode"_s)));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestContainerDocument)
#include "tst_containerdocument.moc"
