// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/adaptivescrollarea.h"

#include <QTest>

namespace {

// Content that asks for a fixed size.
class Sized : public QWidget
{
public:
    explicit Sized(QSize hint)
        : m_hint(hint)
    { }
    QSize sizeHint() const override { return m_hint; }
    QSize minimumSizeHint() const override { return { 0, 0 }; }
    void setHint(QSize hint)
    {
        m_hint = hint;
        updateGeometry();
    }

private:
    QSize m_hint;
};

} // namespace

class TestAdaptiveScrollArea : public QObject
{
    Q_OBJECT

private slots:
    void fit_data()
    {
        QTest::addColumn<int>("axes");
        QTest::addColumn<QSize>("hint");
        QTest::addColumn<bool>("scrolling");
        QTest::addColumn<bool>("horizontalBar");
        QTest::addColumn<bool>("verticalBar");

        const int vertical = int(Qt::Vertical);
        const int both = int(Qt::Vertical | Qt::Horizontal);
        const int horizontal = int(Qt::Horizontal);
        QTest::newRow("fits") << both << QSize(100, 100) << false << false << false;
        QTest::newRow("fits exactly") << vertical << QSize(300, 200) << false << false << false;
        QTest::newRow("too tall, vertical") << vertical << QSize(100, 900) << true << false << true;
        // A bar only where there is something to scroll.
        QTest::newRow("too tall, both") << both << QSize(100, 900) << true << false << true;
        QTest::newRow("too large, both") << both << QSize(900, 900) << true << true << true;
        // The vertical bar takes the room the content needed across.
        QTest::newRow("too tall, width taken by the bar") << both << QSize(295, 900) << true << true << true;
        QTest::newRow("too wide, horizontal") << horizontal << QSize(900, 100) << true << true << false;
        // Measured along both axes: too wide still scrolls, though never sideways.
        QTest::newRow("too wide, vertical") << vertical << QSize(900, 100) << true << false << false;
    }

    void fit()
    {
        QFETCH(int, axes);
        QFETCH(QSize, hint);
        QFETCH(bool, scrolling);
        QFETCH(bool, horizontalBar);
        QFETCH(bool, verticalBar);

        AdaptiveScrollArea area { Qt::Orientations(axes) };
        area.resize(300, 200);
        auto *content = new Sized(hint);
        area.setContent(content);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));

        QCOMPARE(area.isScrolling(), scrolling);
        QCOMPARE(area.horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, horizontalBar);
        QCOMPARE(area.verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, verticalBar);
        const QSize viewport = area.viewport()->size();
        // Along a scrolling axis the content takes its size, or the area's when larger; along the
        // others it fits the area.
        QCOMPARE(content->width(), horizontalBar ? std::max(hint.width(), viewport.width()) : viewport.width());
        QCOMPARE(content->height(), verticalBar ? std::max(hint.height(), viewport.height()) : viewport.height());
    }

    void followsItsContent()
    {
        AdaptiveScrollArea area(Qt::Vertical);
        area.resize(300, 200);
        auto *content = new Sized(QSize(100, 100));
        area.setContent(content);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QVERIFY(!area.isScrolling());
        content->setHint(QSize(100, 1000));
        QTRY_VERIFY(area.isScrolling());
        QCOMPARE(content->height(), 1000);
        area.resize(300, 1200);
        QTRY_VERIFY(!area.isScrolling());
        QCOMPARE(content->height(), area.viewport()->height());
    }
};

QTEST_MAIN(TestAdaptiveScrollArea)
#include "tst_adaptivescrollarea.moc"
