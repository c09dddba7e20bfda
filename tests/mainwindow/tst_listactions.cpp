// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/listactionbutton.h"
#include "mainwindow/listactions.h"

#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

using Element = ListActionsElement;
Q_DECLARE_METATYPE(QList<ListActionsElement>)

namespace {

// Which optional fields a row gives; titles and actions separately, as the bar tells them apart.
enum Field : int {
    addTitle = 1,
    addAction = 2,
    removeTitle = 4,
    removeAction = 8,
    more = 16,
    inlineAction = 32,
};

ListActionsOptions options(int fields, QMenu *menu)
{
    ListActionsOptions result;
    if (fields & addTitle)
        result.addButtonTitle = u"Add"_s;
    if (fields & addAction)
        result.addAction = [] {};
    if (fields & removeTitle)
        result.removeButtonTitle = u"Remove"_s;
    if (fields & removeAction)
        result.removeAction = [] {};
    if (fields & more)
        result.moreActionItems = menu;
    if (fields & inlineAction)
        result.inlineAction = [] {};
    return result;
}

} // namespace

class TestListActions : public QObject
{
    Q_OBJECT

private slots:
    void composition_data()
    {
        QTest::addColumn<int>("fields");
        QTest::addColumn<QList<Element>>("elements");

        const int add = addTitle | addAction;
        const int remove = removeTitle | removeAction;
        QTest::newRow("nothing") << 0 << QList<Element> {};
        QTest::newRow("all") << (add | remove | more | inlineAction)
                             << QList<Element> { Element::addButton, Element::divider, Element::removeButton,
                                    Element::divider, Element::moreMenu, Element::divider, Element::inlineButton };
        QTest::newRow("add and menu") << (add | more)
                                      << QList<Element> { Element::addButton, Element::divider, Element::moreMenu };
        QTest::newRow("remove and menu") << (remove | more)
                                         << QList<Element> { Element::removeButton, Element::moreMenu };
        // The divider before the menu asks only for both actions, not for their titles.
        QTest::newRow("add action without title")
            << (addAction | remove | more)
            << QList<Element> { Element::removeButton, Element::divider, Element::moreMenu };
        QTest::newRow("title without action") << (addTitle | more) << QList<Element> { Element::moreMenu };
        QTest::newRow("only inline") << int(inlineAction) << QList<Element> { Element::divider, Element::inlineButton };
        QTest::newRow("the sidebar's bar") << int(more) << QList<Element> { Element::moreMenu };
    }

    void composition()
    {
        QFETCH(int, fields);
        QFETCH(QList<Element>, elements);
        QMenu menu;
        QCOMPARE(listActionsComposition(options(fields, &menu)), elements);
    }

    void buttonsKeepTheirSizes()
    {
        ListActionsOptions given = options(addTitle | addAction, nullptr);
        given.inlineAction = [] {};
        given.inlineActionTitle = u"Edit Everything"_s;
        ListActions bar(given);
        bar.resize(400, 40);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QCOMPARE(bar.height(), 32);
        const QList<ListActionButton *> buttons = bar.findChildren<ListActionButton *>();
        QCOMPARE(buttons.size(), 2);
        QCOMPARE(buttons[0]->size(), QSize(32, 32));
        QCOMPARE(buttons[1]->size(), QSize(buttons[1]->fontMetrics().horizontalAdvance(u"Edit Everything"_s) + 24, 32));
        // The bar sits at the left of the width it spans.
        QCOMPARE(buttons[0]->x(), 0);
    }

    void dimmedButtonsDoNothing()
    {
        int added = 0;
        ListActionsOptions given;
        given.addButtonTitle = u"Add"_s;
        given.addAction = [&added] { ++added; };
        given.addButtonDisabled = true;
        QMenu menu;
        given.moreActionItems = &menu;
        given.moreActionsDisabled = true;
        ListActions bar(given);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        auto *button = bar.findChild<ListActionButton *>();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(added, 0);
        QCOMPARE(button->buttonStyle().foregroundLevel(), ForegroundLevel::tertiary);
        QVERIFY(!bar.moreButton()->isEnabled());
    }
};

QTEST_MAIN(TestListActions)
#include "tst_listactions.moc"
