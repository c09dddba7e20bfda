// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/exportoptions.h"
#include "model/optionenums.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

template <typename E> QStringList rawValues()
{
    QStringList values;
    for (E value : allCases<E>())
        values << rawValue(value);
    return values;
}

template <typename E> QStringList titles()
{
    QStringList values;
    for (E value : allCases<E>())
        values << title(value);
    return values;
}

} // namespace

class TestOptionEnums : public QObject
{
    Q_OBJECT

private slots:
    void rawValuesInCaseOrder()
    {
        QCOMPARE(rawValues<DragAndDropIconFormat>(), QStringList({ u"folder"_s, u"image"_s }));
        QCOMPARE(rawValues<ContainerExportType>(), QStringList({ u"standard"_s }));
        QCOMPARE(rawValues<IconViewMode>(), QStringList({ u"grid"_s, u"list"_s, u"gallery"_s }));
        QCOMPARE(rawValues<ExportFormat>(), QStringList({ u"ravivovode"_s, u"icons"_s }));
        QCOMPARE(rawValues<ImportFormat>(), QStringList({ u"ravivovode"_s }));
        QCOMPARE(rawValues<SettingsTab>(), QStringList({ u"general"_s, u"lowResolution"_s, u"updates"_s }));
    }

    void constructionFromRawValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<IconViewMode>>("viewMode");
        QTest::addColumn<std::optional<SettingsTab>>("tab");

        QTest::newRow("grid") << u"grid"_s << std::optional(IconViewMode::grid) << std::optional<SettingsTab>();
        QTest::newRow("gallery") << u"gallery"_s << std::optional(IconViewMode::gallery)
                                 << std::optional<SettingsTab>();
        QTest::newRow("title Grid") << u"Grid"_s << std::optional<IconViewMode>() << std::optional<SettingsTab>();
        QTest::newRow("leading blank") << u" grid"_s << std::optional<IconViewMode>() << std::optional<SettingsTab>();
        QTest::newRow("trailing blank") << u"grid "_s << std::optional<IconViewMode>() << std::optional<SettingsTab>();
        QTest::newRow("lowResolution") << u"lowResolution"_s << std::optional<IconViewMode>()
                                       << std::optional(SettingsTab::lowResolution);
        QTest::newRow("title Low-Resolution")
            << u"Low-Resolution"_s << std::optional<IconViewMode>() << std::optional<SettingsTab>();
        QTest::newRow("lowercase") << u"lowresolution"_s << std::optional<IconViewMode>()
                                   << std::optional<SettingsTab>();
        QTest::newRow("empty") << QString() << std::optional<IconViewMode>() << std::optional<SettingsTab>();
    }

    void constructionFromRawValue()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<IconViewMode>, viewMode);
        QFETCH(std::optional<SettingsTab>, tab);
        QCOMPARE(fromRawValue<IconViewMode>(text), viewMode);
        QCOMPARE(fromRawValue<SettingsTab>(text), tab);
    }

    void jsonForm_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<std::optional<ExportFormat>>("format");

        QTest::newRow("icons") << QByteArray(R"(["icons"])") << std::optional(ExportFormat::icons);
        QTest::newRow("ravivovode") << QByteArray(R"(["ravivovode"])") << std::optional(ExportFormat::ravivovode);
        QTest::newRow("title") << QByteArray("[\"Icons\u2026\"]") << std::optional<ExportFormat>();
        QTest::newRow("not a string") << QByteArray("[1]") << std::optional<ExportFormat>();
        QTest::newRow("null") << QByteArray("[null]") << std::optional<ExportFormat>();
    }

    void jsonForm()
    {
        QFETCH(QByteArray, json);
        QFETCH(std::optional<ExportFormat>, format);
        const QJsonValue value = QJsonDocument::fromJson(json).array().first();
        QCOMPARE(fromJson<ExportFormat>(value), format);
        if (format)
            QCOMPARE(toJson(*format), value);
    }

    void titles()
    {
        QCOMPARE(::titles<DragAndDropIconFormat>(), QStringList({ u"Folder"_s, u"Image (ICNS or PNG)"_s }));
        QCOMPARE(::titles<IconViewMode>(), QStringList({ u"Grid"_s, u"List"_s, u"Gallery"_s }));
        QCOMPARE(::titles<ExportFormat>(), QStringList({ u"rAvivovode\u2026"_s, u"Icons\u2026"_s }));
        QCOMPARE(::titles<SettingsTab>(), QStringList({ u"General"_s, u"Low-Resolution"_s, u"Updates"_s }));

        const QString exportTitle = title(ExportFormat::ravivovode);
        QCOMPARE(exportTitle.size(), 11);
        QCOMPARE(exportTitle.back(), QChar(0x2026));
    }

    void viewModeShortcuts()
    {
        QCOMPARE(keyboardShortcut(IconViewMode::grid), QKeySequence(Qt::CTRL | Qt::Key_1));
        QCOMPARE(keyboardShortcut(IconViewMode::list), QKeySequence(Qt::CTRL | Qt::Key_2));
        const QKeySequence third = keyboardShortcut(allCases<IconViewMode>()[2]);
        QCOMPARE(third.count(), 1);
        QCOMPARE(third[0].keyboardModifiers(), Qt::ControlModifier);
        QCOMPARE(third[0].key(), Qt::Key_3);
    }

    void freshExportOptions()
    {
        const ExportOptions options;
        QCOMPARE(options.type, ContainerExportType::standard);
        QVERIFY(options.title.isEmpty());
        QVERIFY(options.collectionVersion.isEmpty());
        QVERIFY(!options.passwordProtected);
        QVERIFY(options.password.isEmpty());
        QVERIFY(options.includeAuthorInfo);
        QVERIFY(options.authorInfo.authorName.isEmpty());
        QVERIFY(options.authorInfo.authorEmail.isEmpty());
        QVERIFY(options.authorInfo.authorURL.isEmpty());
        QVERIFY(options.authorInfo.copyright.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestOptionEnums)
#include "tst_optionenums.moc"
