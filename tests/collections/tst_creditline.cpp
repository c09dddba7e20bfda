// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/creditline.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// The credit line's text run by run: each run's text, with "*" around bold, "/" around italic and "_"
// around underlined text.
QString runs(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QString run = it.fragment().text();
            if (format.fontItalic())
                run = u'/' + run + u'/';
            if (format.fontUnderline())
                run = u'_' + run + u'_';
            if (format.fontWeight() >= QFont::Bold)
                run = u'*' + run + u'*';
            text += run;
        }
    }
    return text;
}

} // namespace

class TestCreditLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void creditLine_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("expected");
        QTest::newRow("title and author") << u"Solar"_s << u"Ann"_s << u"*Solar* by Ann"_s;
        QTest::newRow("no author") << u"Solar"_s << QString() << u"*Solar*"_s;
        QTest::newRow("markdown in the title")
            << u"Big *Solar* _Sun_"_s << u"Ann"_s << u"*Big **/Solar/** **_Sun_* by Ann"_s;
        QTest::newRow("links and pictures stay text")
            << u"[Sun](https://example.org) ![x](/etc/passwd)"_s << QString() << u"*Sun *"_s;
        QTest::newRow("HTML in the title stays text")
            << u"<i>Sun</i> <img src=x>"_s << QString() << u"*<i>Sun</i> <img src=x>*"_s;
        QTest::newRow("author is never markup")
            << u"Solar"_s << u"<b>Ann</b> & *Bo*"_s << u"*Solar* by <b>Ann</b> & *Bo*"_s;
        QTest::newRow("title that markdown makes a rule") << u"*"_s << u"Ann"_s << u"*** by Ann"_s;
        // Read as markdown, a title of a hundred thousand such spans would take minutes.
        const QString longTitle = u"*a"_s.repeated(1000);
        QTest::newRow("very long title shown as it is") << longTitle << u"Ann"_s << u'*' + longTitle + u"* by Ann"_s;
    }

    void creditLine()
    {
        QFETCH(QString, title);
        QFETCH(QString, author);
        QFETCH(QString, expected);
        const QString html = ::creditLine(IconContainer { .title = title, .authorName = author });
        QCOMPARE(runs(html), expected);
        QVERIFY2(!html.contains(u"<a "_s) && !html.contains(u"<img"_s), qPrintable(html));
    }
};

// The credit line reads markdown, which needs fonts: a QGuiApplication.
QTEST_MAIN(TestCreditLine)
#include "tst_creditline.moc"
