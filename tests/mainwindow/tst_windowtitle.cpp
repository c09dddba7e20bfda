// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/windowtitle.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestWindowTitle : public QObject
{
    Q_OBJECT

private slots:
    void forSelection_data()
    {
        QTest::addColumn<QList<int>>("selected"); // positions in the library; -1 names no container
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("subtitle");

        QTest::newRow("none") << QList<int> {} << u"Glimbar"_s << QString();
        QTest::newRow("one with author") << QList<int> { 0 } << u"Space *Icons*"_s << u"Ada"_s;
        QTest::newRow("one without author") << QList<int> { 1 } << u"Plain"_s << QString();
        QTest::newRow("two") << QList<int> { 0, 1 } << u"Glimbar"_s << QString();
        QTest::newRow("stale after a reload") << QList<int> { -1 } << u"Glimbar"_s << QString();
        // Two containers may carry one identifier; the first in library order speaks.
        QTest::newRow("duplicate identifier") << QList<int> { 2 } << u"First"_s << u"One"_s;
    }

    void forSelection()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QString, title);
        QFETCH(QString, subtitle);

        QList<IconContainer> library { { .title = u"Space *Icons*"_s, .authorName = u"Ada"_s },
            { .title = u"Plain"_s } };
        IconContainer first { .title = u"First"_s, .authorName = u"One"_s };
        IconContainer second = first;
        second.title = u"Second"_s;
        library << first << second;

        QSet<QUuid> selection;
        for (int position : std::as_const(selected))
            selection.insert(position < 0 ? QUuid::createUuid() : library[position].id);
        const WindowTitle result = WindowTitle::forSelection(selection, library);
        QCOMPARE(result.title, title);
        QCOMPARE(result.subtitle, subtitle);
    }

    void line()
    {
        QCOMPARE((WindowTitle { u"Space"_s, u"Ada"_s }.line()), u"Space — Ada"_s);
        QCOMPARE((WindowTitle { u"Space"_s, QString() }.line()), u"Space"_s);
    }
};

QTEST_MAIN(TestWindowTitle)
#include "tst_windowtitle.moc"
