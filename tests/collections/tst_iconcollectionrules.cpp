// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/creditlinedocument.h"
#include "collections/iconcellpainter.h"
#include "collections/iconclickrules.h"
#include "collections/icondropdelegate.h"
#include "collections/icondropindicator.h"
#include "collections/icontilelayout.h"
#include "collections/icontilenavigation.h"
#include "iconfixture.h"
#include "library/iconselectionmanager.h"
#include "widgets/colorcontrast.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Positions in a container of eight icons; -1 stands for an icon of another container.
using Positions = QList<int>;

IconSelection selectionOf(const IconContainer &container, const Positions &positions, const QUuid &foreign)
{
    IconSelection selection;
    for (const int p : positions)
        selection.insert(p < 0 ? foreign : container.icons.at(p).id);
    return selection;
}

Positions positionsOf(const IconContainer &container, const IconSelection &selection)
{
    Positions positions;
    for (const QUuid &id : selection) {
        const auto found = std::find_if(
            container.icons.cbegin(), container.icons.cend(), [&id](const Icon &icon) { return icon.id == id; });
        positions.append(found == container.icons.cend() ? -1 : int(found - container.icons.cbegin()));
    }
    return positions;
}

IconSelection selectionByName(const QList<Icon> &icons, const QString &names)
{
    IconSelection selection;
    for (const Icon &icon : icons) {
        if (names.contains(icon.name))
            selection.insert(icon.id);
    }
    return selection;
}

} // namespace

class TestIconCollectionRules : public QObject
{
    Q_OBJECT

private slots:
    void clickRules_data()
    {
        QTest::addColumn<Positions>("before");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<Positions>("after");
        QTest::addColumn<int>("changes");

        const Qt::KeyboardModifiers none;
        const Qt::KeyboardModifiers shift(Qt::ShiftModifier);
        const Qt::KeyboardModifiers control(Qt::ControlModifier);
        QTest::newRow("plain on one of several selected") << Positions { 1, 4, 6 } << 4 << none << Positions { 4 } << 1;
        QTest::newRow("plain on the only selected") << Positions { 4 } << 4 << none << Positions { 4 } << 1;
        QTest::newRow("control on the only selected") << Positions { 3 } << 3 << control << Positions {} << 1;
        QTest::newRow("control on an unselected appends it")
            << Positions { 5, 1 } << 2 << control << Positions { 5, 1, 2 } << 1;
        QTest::newRow("shift with nothing selected") << Positions {} << 3 << shift << Positions { 3 } << 1;
        QTest::newRow("shift on the anchor") << Positions { 6, 2 } << 2 << shift << Positions { 6, 2 } << 1;
        QTest::newRow("shift below the anchor") << Positions { 2 } << 5 << shift << Positions { 2, 3, 4, 5 } << 1;
        QTest::newRow("shift above the anchor, ascending")
            << Positions { 5 } << 2 << shift << Positions { 5, 2, 3, 4 } << 1;
        QTest::newRow("shift keeps selected ones in place")
            << Positions { 3, 7, 1 } << 4 << shift << Positions { 3, 7, 1, 2, 4 } << 1;
        QTest::newRow("shift with the anchor in another container")
            << Positions { 2, -1 } << 5 << shift << Positions { 2, -1 } << 0;
        QTest::newRow("shift wins over control")
            << Positions { 2 } << 4 << (shift | control) << Positions { 2, 3, 4 } << 1;
        QTest::newRow("a stale index changes nothing") << Positions { 2 } << 8 << shift << Positions { 2 } << 0;
    }

    void clickRules()
    {
        QFETCH(Positions, before);
        QFETCH(int, clicked);
        QFETCH(Qt::KeyboardModifiers, keys);
        QFETCH(Positions, after);
        QFETCH(int, changes);

        const IconContainer container
            = IconFixture::container(u"Eight"_s, { u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s });
        const QUuid foreign = QUuid::createUuid();
        IconSelectionManager manager;
        manager.setSelection(selectionOf(container, before, foreign));
        QSignalSpy spy(&manager, &IconSelectionManager::selectionChanged);
        IconClickRules::click(manager, container, clicked, keys);
        QCOMPARE(positionsOf(container, manager.selection()), after);
        QCOMPARE(spy.count(), changes);
    }

    void moveSelected_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("foreignToo");
        QTest::addColumn<int>("index");
        QTest::addColumn<IconDropTargetPosition>("position");
        QTest::addColumn<QString>("expected");

        const auto before = IconDropTargetPosition::before;
        const auto after = IconDropTargetPosition::after;
        QTest::newRow("after C") << u"A"_s << false << 2 << after << u"BCAD"_s;
        QTest::newRow("before C") << u"A"_s << false << 2 << before << u"BACD"_s;
        QTest::newRow("two after the last keep container order") << u"CA"_s << false << 3 << after << u"BDAC"_s;
        QTest::newRow("before the first") << u"DB"_s << false << 0 << before << u"BDAC"_s;
        QTest::newRow("only this container's icons move") << u"B"_s << true << 0 << before << u"BACD"_s;
        QTest::newRow("nothing selected") << QString() << false << 1 << after << u"ABCD"_s;
        QTest::newRow("only icons of another container") << QString() << true << 1 << after << u"ABCD"_s;
        QTest::newRow("stale index before: clamped to the end") << u"A"_s << false << 99 << before << u"BCDA"_s;
        QTest::newRow("stale index after: clamped to the end") << u"B"_s << false << 99 << after << u"ACDB"_s;
        QTest::newRow("negative index: clamped to the front") << u"C"_s << false << -5 << before << u"CABD"_s;
    }

    void moveSelected()
    {
        QFETCH(QString, selected);
        QFETCH(bool, foreignToo);
        QFETCH(int, index);
        QFETCH(IconDropTargetPosition, position);
        QFETCH(QString, expected);

        QList<Icon> icons = IconFixture::container(u"Four"_s, { u"A"_s, u"B"_s, u"C"_s, u"D"_s }).icons;
        IconSelection selection = selectionByName(icons, selected);
        if (foreignToo)
            selection.insert(QUuid::createUuid());
        IconDropDelegate::moveSelected(icons, selection, index, position);
        QCOMPARE(IconFixture::namesOf(icons), expected);
    }

    void splitPoint_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("width");
        QTest::addColumn<IconDropTargetPosition>("expected");

        QTest::newRow("at the truncated half of an odd width") << 32.0 << 65 << IconDropTargetPosition::before;
        QTest::newRow("just past it") << 32.5 << 65 << IconDropTargetPosition::after;
        QTest::newRow("leading edge") << 0.0 << 80 << IconDropTargetPosition::before;
        QTest::newRow("trailing edge of a wide tile") << 527.0 << 528 << IconDropTargetPosition::after;
    }

    void splitPoint()
    {
        QFETCH(double, x);
        QFETCH(int, width);
        QFETCH(IconDropTargetPosition, expected);
        QCOMPARE(IconDropDelegate::position(x, width), expected);
    }

    void nameRule_data()
    {
        QTest::addColumn<IconViewMode>("mode");
        QTest::addColumn<bool>("namesInGrid");
        QTest::addColumn<bool>("namesInGallery");
        QTest::addColumn<int>("previewSize");
        QTest::addColumn<GalleryIconSize>("gallerySize");
        QTest::addColumn<bool>("shown");

        const auto grid = IconViewMode::grid;
        const auto gallery = IconViewMode::gallery;
        const auto medium = GalleryIconSize::defaultSize;
        QTest::newRow("grid at 64") << grid << true << false << 64 << medium << true;
        QTest::newRow("grid at 63") << grid << true << false << 63 << medium << false;
        QTest::newRow("grid, setting off") << grid << false << true << 512 << medium << false;
        QTest::newRow("gallery small") << gallery << false << true << 512 << GalleryIconSize::small << false;
        QTest::newRow("gallery default, whatever the preview size") << gallery << false << true << 16 << medium << true;
        QTest::newRow("gallery large") << gallery << false << true << 16 << GalleryIconSize::large << true;
        QTest::newRow("gallery, only the grid's setting on") << gallery << true << false << 64 << medium << false;
        QTest::newRow("list never") << IconViewMode::list << true << true << 512 << medium << false;
    }

    void nameRule()
    {
        QFETCH(IconViewMode, mode);
        QFETCH(bool, namesInGrid);
        QFETCH(bool, namesInGallery);
        QFETCH(int, previewSize);
        QFETCH(GalleryIconSize, gallerySize);
        QFETCH(bool, shown);
        const double size = IconCellPainter::previewSize(mode, previewSize, gallerySize);
        QCOMPARE(IconCellPainter::showsName(mode, namesInGrid, namesInGallery, size), shown);
    }

    void highlight_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QColor>("background"); // invalid: none
        QTest::addColumn<bool>("base");

        QTest::newRow("light, no colour") << false << QColor() << true;
        QTest::newRow("light on white: black stands out") << false << QColor(Qt::white) << true;
        QTest::newRow("light on black: swapped") << false << QColor(Qt::black) << false;
        QTest::newRow("dark on white: swapped") << true << QColor(Qt::white) << false;
        QTest::newRow("dark on black") << true << QColor(Qt::black) << true;
        // Ratio against black just above and just below 7.
        QTest::newRow("light on grey, ratio above 7") << false << QColor(150, 150, 150) << true;
        QTest::newRow("light on grey, ratio below 7") << false << QColor(140, 140, 140) << false;
    }

    void highlight()
    {
        QFETCH(bool, dark);
        QFETCH(QColor, background);
        QFETCH(bool, base);
        const std::optional<QColor> colour = background.isValid() ? std::optional(background) : std::nullopt;
        const QColor black(0, 0, 0, qRound(0.15 * 255));
        const QColor white(255, 255, 255, qRound(0.2 * 255));
        const QColor expected = (dark == base) ? white : black;
        QCOMPARE(IconCellPainter::selectionHighlightColor(dark, colour), expected);
    }

    void contrastRatio()
    {
        QCOMPARE(ColorContrast::ratio(Qt::black, Qt::white), 21.0);
        // Alpha plays no part.
        QCOMPARE(ColorContrast::luminance(QColor(255, 255, 255, 10)), 1.0);
        QCOMPARE(ColorContrast::resolved(std::nullopt, Qt::red, Qt::blue), QColor(Qt::red));
        QCOMPARE(ColorContrast::resolved(QColor(Qt::red), Qt::red, Qt::blue), QColor(Qt::blue));
    }

    void columns_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("previewSize");
        QTest::addColumn<int>("columns");

        QTest::newRow("exactly one minimum width") << 80.0 << 64.0 << 1;
        QTest::newRow("just short of two") << 159.0 << 64.0 << 1;
        QTest::newRow("two") << 160.0 << 64.0 << 2;
        QTest::newRow("narrower than one column") << 40.0 << 512.0 << 1;
        QTest::newRow("two at 512") << 1056.0 << 512.0 << 2;
        QTest::newRow("no width at all") << 0.0 << 64.0 << 1;
    }

    void columns()
    {
        QFETCH(double, width);
        QFETCH(double, previewSize);
        QFETCH(int, columns);
        QCOMPARE(IconTileLayout::columnCount(width, previewSize), columns);
    }

    // Tiles are found by arithmetic; each found tile must be one the rectangle meets, and none
    // that it meets may be missed, across headers and sections of different lengths.
    void layoutHitsEveryTileOnce()
    {
        QList<IconSection> sections;
        for (int s = 0; s < 3; ++s) {
            IconSection section;
            section.containerIndex = s;
            for (int i = 0; i < 7 + 5 * s; ++i)
                section.iconIndexes.append(i);
            sections.append(section);
        }
        for (const auto flow : { IconTileLayout::Flow::grid, IconTileLayout::Flow::strip }) {
            IconTileLayout layout;
            layout.update(sections, { flow, 64, 0, true, 30 }, 500);
            const QRectF view
                = flow == IconTileLayout::Flow::grid ? QRectF(0, 150, 500, 200) : QRectF(150, 0, 200, 100);
            const QList<IconTileLayout::Hit> hits = layout.tilesIn(view);
            qsizetype meeting = 0;
            for (qsizetype s = 0; s < sections.size(); ++s) {
                for (qsizetype p = 0; p < sections.at(s).iconIndexes.size(); ++p) {
                    const QRectF tile = layout.tileRect(s, p);
                    if (tile.intersects(view))
                        ++meeting;
                    const IconTileLayout::Hit hit = layout.hitTest(tile.center());
                    QCOMPARE(hit.section, s);
                    QCOMPARE(hit.position, p);
                }
            }
            QCOMPARE(hits.size(), meeting);
            QVERIFY(meeting > 0);
        }
    }

    // Sections of 5, 0 and 3 tiles: three columns in the grid (rows ABC DE | FGH), one row in the
    // strip. Tiles are written as letters in reading order, "-" for no current tile or a key the
    // view does not take.
    void navigation_data()
    {
        QTest::addColumn<IconTileLayout::Flow>("flow");
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("to");
        const auto grid = IconTileLayout::Flow::grid;
        const auto strip = IconTileLayout::Flow::strip;
        QTest::newRow("right along a row") << grid << u"A"_s << int(Qt::Key_Right) << 1 << u"B"_s;
        QTest::newRow("right wraps to the next row") << grid << u"C"_s << int(Qt::Key_Right) << 1 << u"D"_s;
        QTest::newRow("right into the next section past an empty one")
            << grid << u"E"_s << int(Qt::Key_Right) << 1 << u"F"_s;
        QTest::newRow("left back over the section") << grid << u"F"_s << int(Qt::Key_Left) << 1 << u"E"_s;
        QTest::newRow("left at the first tile stays") << grid << u"A"_s << int(Qt::Key_Left) << 1 << u"A"_s;
        QTest::newRow("right at the last tile stays") << grid << u"H"_s << int(Qt::Key_Right) << 1 << u"H"_s;
        QTest::newRow("down a row") << grid << u"B"_s << int(Qt::Key_Down) << 1 << u"E"_s;
        QTest::newRow("down onto a shorter last row") << grid << u"C"_s << int(Qt::Key_Down) << 1 << u"E"_s;
        QTest::newRow("down into the next section keeps the column")
            << grid << u"E"_s << int(Qt::Key_Down) << 1 << u"G"_s;
        QTest::newRow("up into the section before, its last row") << grid << u"H"_s << int(Qt::Key_Up) << 1 << u"E"_s;
        QTest::newRow("up past a short last row") << grid << u"F"_s << int(Qt::Key_Up) << 1 << u"D"_s;
        QTest::newRow("up at the top stays") << grid << u"B"_s << int(Qt::Key_Up) << 1 << u"B"_s;
        QTest::newRow("home") << grid << u"G"_s << int(Qt::Key_Home) << 1 << u"A"_s;
        QTest::newRow("end") << grid << u"B"_s << int(Qt::Key_End) << 1 << u"H"_s;
        QTest::newRow("page down by rows") << grid << u"A"_s << int(Qt::Key_PageDown) << 2 << u"F"_s;
        QTest::newRow("page down stops at the last row") << grid << u"B"_s << int(Qt::Key_PageDown) << 9 << u"G"_s;
        QTest::newRow("page up") << grid << u"H"_s << int(Qt::Key_PageUp) << 2 << u"B"_s;
        QTest::newRow("no current tile starts at the first") << grid << u"-"_s << int(Qt::Key_Down) << 1 << u"A"_s;
        QTest::newRow("no current tile, end") << grid << u"-"_s << int(Qt::Key_End) << 1 << u"H"_s;
        QTest::newRow("other keys are not taken") << grid << u"A"_s << int(Qt::Key_Return) << 1 << u"-"_s;
        QTest::newRow("strip right across sections") << strip << u"E"_s << int(Qt::Key_Right) << 1 << u"F"_s;
        QTest::newRow("strip page by tiles") << strip << u"B"_s << int(Qt::Key_PageDown) << 4 << u"F"_s;
        QTest::newRow("strip page up stops at the first") << strip << u"B"_s << int(Qt::Key_PageUp) << 4 << u"A"_s;
        QTest::newRow("strip takes no up") << strip << u"B"_s << int(Qt::Key_Up) << 1 << u"-"_s;
        QTest::newRow("strip takes no down") << strip << u"B"_s << int(Qt::Key_Down) << 1 << u"-"_s;
    }

    void navigation()
    {
        QFETCH(IconTileLayout::Flow, flow);
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(int, page);
        QFETCH(QString, to);
        QList<IconSection> sections;
        for (const int count : { 5, 0, 3 }) {
            IconSection section;
            for (int i = 0; i < count; ++i)
                section.iconIndexes.append(i);
            sections.append(section);
        }
        IconTileLayout layout;
        // 3 columns of at least 80 points, inside 12 points of padding either side.
        layout.update(sections, { flow, 64, 0, true, 30 }, 3 * 80 + 24);
        const QString letters = u"ABCDEFGH"_s;
        const auto hitOf = [](const QString &letter) {
            const int i = int(u"ABCDEFGH"_s.indexOf(letter));
            if (i < 0)
                return IconTileLayout::Hit();
            return i < 5 ? IconTileLayout::Hit { 0, i } : IconTileLayout::Hit { 2, i - 5 };
        };
        const std::optional<IconTileLayout::Hit> moved
            = IconTileNavigation::move(layout, hitOf(from), Qt::Key(key), page);
        QString got = u"-"_s;
        if (moved)
            got = moved->section == 0 ? letters.at(moved->position) : letters.at(5 + moved->position);
        QCOMPARE(got, to);
    }

    void dropIndicator_data()
    {
        QTest::addColumn<IconDropTargetPosition>("position");
        QTest::addColumn<double>("ringX");
        QTest::addColumn<double>("barLeft");

        // A tile from x = 100 to 180: rings centred on the edge, the bar 2 points beyond it.
        QTest::newRow("after") << IconDropTargetPosition::after << 180.0 << 181.0;
        QTest::newRow("before") << IconDropTargetPosition::before << 100.0 << 97.0;
    }

    void dropIndicator()
    {
        QFETCH(IconDropTargetPosition, position);
        QFETCH(double, ringX);
        QFETCH(double, barLeft);
        const QRectF tile(100, 0, 80, 80);
        const IconDropIndicator::Geometry g = IconDropIndicator::geometry(tile, position, 65, 2.0);
        QCOMPARE(g.upperRing, QPointF(ringX, 40 - 32));
        QCOMPARE(g.lowerRing, QPointF(ringX, 40 + 32));
        QCOMPARE(g.bar, QRectF(barLeft, 40 - 59 / 2.0, 2, 59));
        QCOMPARE(g.ringDiameter, 6.0);
    }

    // A title from a stranger's info.json may name images, local files included: none is read.
    void creditLineLoadsNothing()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"secret.png"_s);
        QVERIFY(IconFixture::icon(u"x"_s, {}).imageData);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(*IconFixture::icon(u"x"_s, {}).imageData);
        file.close();
        const QUrl url = QUrl::fromLocalFile(path);
        CreditLineDocument document(u"<b>Title</b><img src=\""_s + url.toString() + u"\">"_s, QFont());
        QVERIFY(document.size().width() > 0);
        QVERIFY(document.resource(QTextDocument::ImageResource, url).isNull());
        QVERIFY(document.toPlainText().startsWith(u"Title"_s));
    }
};

QTEST_MAIN(TestIconCollectionRules)
#include "tst_iconcollectionrules.moc"
