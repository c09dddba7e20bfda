// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconpreviewsize.h"

#include <QTest>

#include <limits>

using namespace Qt::Literals::StringLiterals;

class TestIconPreviewSize : public QObject
{
    Q_OBJECT

private slots:
    void presets_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("toEnd");
        QTest::addColumn<qint64>("previous");
        QTest::addColumn<qint64>("next");

        QTest::newRow("on a preset") << qint64(64) << false << qint64(32) << qint64(128);
        QTest::newRow("between presets") << qint64(40) << false << qint64(32) << qint64(64);
        QTest::newRow("smallest") << qint64(16) << false << qint64(16) << qint64(32);
        QTest::newRow("largest") << qint64(512) << false << qint64(256) << qint64(512);
        QTest::newRow("below the range") << qint64(10) << false << qint64(16) << qint64(16);
        QTest::newRow("above the range") << qint64(600) << false << qint64(512) << qint64(512);
        QTest::newRow("negative") << qint64(-5) << false << qint64(16) << qint64(16);
        QTest::newRow("to the ends") << qint64(64) << true << qint64(16) << qint64(512);
        QTest::newRow("to the ends from outside") << qint64(600) << true << qint64(16) << qint64(512);
    }

    void presets()
    {
        QFETCH(qint64, size);
        QFETCH(bool, toEnd);
        QFETCH(qint64, previous);
        QFETCH(qint64, next);
        QCOMPARE(IconPreviewSize::previousPreset(size, toEnd), previous);
        QCOMPARE(IconPreviewSize::nextPreset(size, toEnd), next);
    }

    void typedText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<qint64>>("value");

        const auto none = std::optional<qint64>();
        QTest::newRow("plain") << u"en_US"_s << u"128"_s << std::optional<qint64>(128);
        QTest::newRow("spaces around") << u"en_US"_s << u" 200 "_s << std::optional<qint64>(200);
        QTest::newRow("small, unclamped") << u"en_US"_s << u"5"_s << std::optional<qint64>(5);
        QTest::newRow("negative") << u"en_US"_s << u"-3"_s << std::optional<qint64>(-3);
        QTest::newRow("letters") << u"en_US"_s << u"big"_s << none;
        QTest::newRow("digits then letters") << u"en_US"_s << u"64px"_s << none;
        QTest::newRow("empty") << u"en_US"_s << QString() << none;
        QTest::newRow("sign alone") << u"en_US"_s << u"-"_s << none;
        QTest::newRow("English grouped") << u"en_US"_s << u"1,000"_s << none;
        QTest::newRow("English decimal") << u"en_US"_s << u"1.000"_s << none;
        QTest::newRow("German grouped") << u"de_DE"_s << u"1.000"_s << none;
        QTest::newRow("German decimal") << u"de_DE"_s << u"1,000"_s << none;
        QTest::newRow("German plain") << u"de_DE"_s << u"1000"_s << std::optional<qint64>(1000);
        QTest::newRow("too long for 64 bits")
            << u"en_US"_s << u"99999999999999999999999"_s << std::optional<qint64>(std::numeric_limits<qint64>::max());
        QTest::newRow("too long, negative")
            << u"en_US"_s << u"-99999999999999999999999"_s << std::optional<qint64>(std::numeric_limits<qint64>::min());
    }

    void typedText()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(std::optional<qint64>, value);
        QCOMPARE(IconPreviewSize::fromText(text, QLocale(locale)), value);
    }

    void shownWithoutGrouping()
    {
        QCOMPARE(IconPreviewSize::toText(1000, QLocale(u"en_US"_s)), u"1000"_s);
        QCOMPARE(IconPreviewSize::toText(1000, QLocale(u"de_DE"_s)), u"1000"_s);
        // What is shown reads back as the same number.
        const QLocale arabic(u"ar_EG"_s);
        QCOMPARE(IconPreviewSize::fromText(IconPreviewSize::toText(256, arabic), arabic), std::optional<qint64>(256));
    }
};

QTEST_GUILESS_MAIN(TestIconPreviewSize)
#include "tst_iconpreviewsize.moc"
