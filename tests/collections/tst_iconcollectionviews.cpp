// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/creditline.h"
#include "collections/creditlinedocument.h"
#include "collections/iconcellpainter.h"
#include "collections/iconcollectiongallery.h"
#include "collections/iconcollectiongrid.h"
#include "collections/iconcollectionlist.h"
#include "collections/icondragmimedata.h"
#include "collections/icongallerypreview.h"
#include "collections/iconmodel.h"
#include "iconfixture.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "library/thumbnailprovider.h"
#include "support/appservices.h"
#include "widgets/motionanimation.h"
#include "widgets/textstyle.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>

#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList letters(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QString(QChar(u'A' + i)));
    return names;
}

QString selectedNames(const IconSelectionManager &manager, const QList<IconContainer> &containers)
{
    QString names;
    for (const QUuid &id : manager.selection()) {
        for (const IconContainer &container : containers) {
            for (const Icon &icon : container.icons) {
                if (icon.id == id)
                    names += icon.name;
            }
        }
    }
    return names;
}

const Icon &iconNamed(const IconContainer &container, const QString &name)
{
    for (const Icon &icon : container.icons) {
        if (icon.name == name)
            return icon;
    }
    qFatal("no such icon");
}

// Sends a whole drag (enter, move, drop) of `data` to `target` at `point`; whether the drop was
// taken.
bool dropAt(QWidget *target, QMimeData *data, QPoint point)
{
    QDragEnterEvent enter(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(point), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// Presses at `point` with `modifiers`, moves past the drag distance and releases. The offscreen
// platform has no drag of its own, so the drag returns at once. Returns the name of the icon the
// drag carried; empty when none started.
QString dragFrom(QWidget *viewport, QPoint point, Qt::KeyboardModifiers modifiers)
{
    QTest::mousePress(viewport, Qt::LeftButton, modifiers, point);
    // The list notes a drag on the first motion and starts it on the next.
    QTest::mouseMove(viewport, point + QPoint(2, 0));
    QTest::mouseMove(viewport, point + QPoint(30, 0));
    QString carried;
    const QList<QDrag *> drags = viewport->parentWidget()->findChildren<QDrag *>();
    if (!drags.isEmpty()) {
        if (auto *data = qobject_cast<IconDragMimeData *>(drags.last()->mimeData()))
            carried = data->icon().name;
    }
    qDeleteAll(drags);
    QTest::mouseRelease(viewport, Qt::LeftButton, modifiers, point + QPoint(30, 0));
    return carried;
}

} // namespace

class TestIconCollectionViews : public QObject
{
    Q_OBJECT

private:
    AppServices m_services;
    ContainerManager &manager() { return m_services.library; }
    const IconContainer &first() { return manager().containers().at(0); }

    IconCollectionInputs inputs(QSet<QUuid> containers, QString search = {})
    {
        return { .manager = manager(),
            .provider = m_services.thumbnails,
            .iconSetter = m_services.iconSetter,
            .settings = m_services.settings,
            .iconSelection = m_selection,
            .containerSelection = std::move(containers),
            .searchText = std::move(search) };
    }

    std::unique_ptr<IconCollectionGrid> makeGrid(const QSet<QUuid> &containers, const QString &search = {})
    {
        auto grid = std::make_unique<IconCollectionGrid>(inputs(containers, search));
        checkModel(grid->iconModel());
        grid->resize(600, 400);
        grid->show();
        if (!QTest::qWaitForWindowExposed(grid.get()))
            qWarning("grid not exposed");
        return grid;
    }

    // The model checks itself on every change for as long as it lives.
    static void checkModel(QAbstractItemModel *model)
    {
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Fatal, model);
    }

    QPoint centreOf(IconTileView &view, const QString &name, int container = 0)
    {
        return view.visualRect(iconNamed(manager().containers().at(container), name).id).center();
    }

    // Selects the first container's icons of these one-letter names, in this order.
    void selectLetters(const QString &letters)
    {
        IconSelection selection;
        for (const QChar letter : letters)
            selection.insert(iconNamed(first(), QString(letter)).id);
        m_selection.setSelection(std::move(selection));
    }

    // Whatever the view, a drag from an icon carries that icon and moves the selection, which the
    // pressed icon joins first: alone on a plain press, by the click rules with Shift or Control.
    static void pressThenDragTable()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("after");
        QTest::newRow("plain press on an unselected icon") << u"A"_s << u"C"_s << Qt::KeyboardModifiers() << u"C"_s;
        QTest::newRow("nothing selected") << QString() << u"C"_s << Qt::KeyboardModifiers() << u"C"_s;
        QTest::newRow("plain press on a selected icon keeps the selection")
            << u"AC"_s << u"C"_s << Qt::KeyboardModifiers() << u"AC"_s;
        QTest::newRow("Control adds the icon")
            << u"A"_s << u"C"_s << Qt::KeyboardModifiers(Qt::ControlModifier) << u"AC"_s;
        QTest::newRow("Control on a selected icon keeps it")
            << u"AC"_s << u"A"_s << Qt::KeyboardModifiers(Qt::ControlModifier) << u"AC"_s;
        QTest::newRow("Shift adds the range")
            << u"A"_s << u"C"_s << Qt::KeyboardModifiers(Qt::ShiftModifier) << u"ABC"_s;
        QTest::newRow("Alt is a plain press") << u"A"_s << u"C"_s << Qt::KeyboardModifiers(Qt::AltModifier) << u"C"_s;
    }

    // `shownSelected` says how many icons the view shows as selected, for a view that follows the
    // selection later.
    void checkPressThenDrag(QWidget *viewport, const std::function<QPoint(const QString &)> &centre,
        const std::function<qsizetype()> &shownSelected = {})
    {
        QFETCH(QString, before);
        QFETCH(QString, pressed);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, after);
        selectLetters(before);
        if (shownSelected)
            QTRY_COMPARE(shownSelected(), before.size());
        QCOMPARE(dragFrom(viewport, centre(pressed), modifiers), pressed);
        QCOMPARE(selectedNames(m_selection, manager().containers()), after);
    }

    IconSelectionManager m_selection;
    QUuid m_firstID;
    QUuid m_secondID;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_services.settings.iconPreviewSize().write(64);
        m_services.settings.galleryIconSize().reset();
        m_services.settings.showIconNamesInGrid().write(false);
        m_services.settings.listIconSize().reset();
        // Data, not folders: a drag then writes nothing to the temporary folder.
        m_services.settings.defaultDragAndDropFormat().write(DragAndDropIconFormat::image);
    }

    void init()
    {
        IconContainer one = IconFixture::container(u"One"_s, letters(12));
        one.backgroundColor = RGBAColor { 0.9, 0.8, 0.3, 1 };
        IconContainer two = IconFixture::container(u"Two"_s, { u"x"_s, u"y"_s, u"z"_s });
        m_firstID = one.id;
        m_secondID = two.id;
        manager().setContainers({ one, two });
        m_selection.setSelection({});
        m_services.settings.iconPreviewSize().write(64);
    }

    void gridClicks()
    {
        auto grid = makeGrid({ m_firstID });
        QWidget *viewport = grid->viewport();
        QVERIFY(grid->showBackground());

        QTest::mouseClick(viewport, Qt::LeftButton, {}, centreOf(*grid, u"C"_s));
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"C"_s);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, centreOf(*grid, u"F"_s));
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"CDEF"_s);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, centreOf(*grid, u"D"_s));
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"CEF"_s);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, centreOf(*grid, u"A"_s));
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"CEFA"_s);

        // Below the last row is empty space.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(300, 390));
        QVERIFY(m_selection.selection().empty());

        QTest::mouseClick(viewport, Qt::LeftButton, {}, centreOf(*grid, u"B"_s));
        QSignalSpy spy(&m_selection, &IconSelectionManager::selectionChanged);
        grid->deselectAll();
        QVERIFY(m_selection.selection().empty());
        QCOMPARE(spy.count(), 1);
    }

    // The name's tooltip belongs to the name alone; a name from a stranger's file is shown as text,
    // never read as markup.
    void tooltipOnTheNameOnly_data()
    {
        QTest::addColumn<bool>("namesShown");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("tooltip");
        const QString escaped = u"<qt>&lt;img src=&quot;/etc/hostname&quot;&gt;&lt;b&gt;bold&lt;/b&gt;</qt>"_s;
        QTest::newRow("on the name") << true << u"name"_s << escaped;
        QTest::newRow("on the picture") << true << u"picture"_s << QString();
        QTest::newRow("names hidden, under the picture") << false << u"name"_s << QString();
        QTest::newRow("names hidden, on the picture") << false << u"picture"_s << QString();
    }

    void tooltipOnTheNameOnly()
    {
        QFETCH(bool, namesShown);
        QFETCH(QString, where);
        QFETCH(QString, tooltip);
        m_services.settings.showIconNamesInGrid().write(namesShown);
        QList<IconContainer> containers = manager().containers();
        containers[0].icons[0].name = u"<img src=\"/etc/hostname\"><b>bold</b>"_s;
        manager().setContainers(containers);
        auto grid = makeGrid({ m_firstID });
        const QRect tile = grid->visualRect(first().icons.at(0).id);
        // The name's block lies below the picture and its padding.
        const double below = IconCellPainter::thumbnailRect(QRectF(tile), 64, 0).bottom() + 2;
        const QPoint point = where == u"name"_s ? QPoint(tile.center().x(), int(below) + 6) : tile.center();
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        QHelpEvent help(QEvent::ToolTip, point, grid->viewport()->mapToGlobal(point));
        QApplication::sendEvent(grid->viewport(), &help);
        if (tooltip.isEmpty()) {
            QVERIFY(!QToolTip::isVisible());
        } else {
            QTRY_VERIFY(QToolTip::isVisible());
            QCOMPARE(QToolTip::text(), tooltip);
        }
        QToolTip::hideText();
        m_services.settings.showIconNamesInGrid().write(false);
    }

    // A header names its section: a click on it leaves the selection as it was, in the grid and
    // in the list alike.
    void headerClickChangesNothing()
    {
        selectLetters(u"BC"_s);
        auto grid = makeGrid({ m_firstID, m_secondID });
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(100, 6));
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"BC"_s);

        IconCollectionList list(inputs({ m_firstID, m_secondID }));

        checkModel(list.iconModel());
        list.resize(400, 600);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QTRY_COMPARE(list.selectionModel()->selectedIndexes().size(), 2);
        QVERIFY(list.iconModel()->isHeader(0));
        const QPoint header = list.visualRect(list.iconModel()->index(0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, header);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, header);
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"BC"_s);
        QCOMPARE(list.selectionModel()->selectedIndexes().size(), 2);
    }

    // A long credit line ends in an ellipsis within its room, keeping the bold of the title it
    // cuts; a short one stays whole.
    void headerElidesLongTitles_data()
    {
        QTest::addColumn<QString>("richText");
        QTest::addColumn<bool>("elided");
        QTest::addColumn<bool>("boldEnd");
        QTest::newRow("short") << u"<b>Shapes</b> by Ann"_s << false << false;
        QTest::newRow("long title") << (u"<b>"_s + u"Extraordinarily "_s.repeated(12) + u"</b> by Ann"_s) << true
                                    << true;
        QTest::newRow("long author") << (u"<b>Shapes</b> by "_s + u"Annabel "_s.repeated(20)) << true << false;
    }

    void headerElidesLongTitles()
    {
        QFETCH(QString, richText);
        QFETCH(bool, elided);
        QFETCH(bool, boldEnd);
        QFont font = QApplication::font();
        font.setPointSizeF(font.pointSizeF() * 1.3);
        CreditLineDocument document(richText, font);
        const QString whole = document.toPlainText();
        document.fitWidth(300);
        QVERIFY(document.idealWidth() <= 300);
        const QString shown = document.toPlainText();
        QCOMPARE(shown.endsWith(u'\u2026'), elided);
        if (!elided) {
            QCOMPARE(shown, whole);
            return;
        }
        QVERIFY(whole.startsWith(shown.chopped(1)));
        QVERIFY(shown.size() > 10);
        // The room grows back: the line is laid out again from its whole text.
        document.fitWidth(100000);
        QCOMPARE(document.toPlainText(), whole);
        document.fitWidth(300);
        QCOMPARE(document.toPlainText(), shown);
        QTextCursor end(&document);
        end.movePosition(QTextCursor::End);
        QCOMPARE(end.charFormat().fontWeight() >= QFont::Bold, boldEnd);
    }

    // A paint never decodes: tiles whose pictures are not ready show their placeholder, and the
    // pictures come from the provider's threads afterwards, drawn at their own pixels.
    void gridShowsPlaceholdersUntilPicturesArrive()
    {
        ThumbnailProvider thumbnails;
        IconCollectionGrid grid(IconCollectionInputs { .manager = manager(),
            .provider = thumbnails,
            .iconSetter = m_services.iconSetter,
            .settings = m_services.settings,
            .iconSelection = m_selection,
            .containerSelection = { m_firstID } });
        grid.resize(600, 400);
        const QRectF tile = grid.visualRect(iconNamed(first(), u"A"_s).id);
        const QRectF picture = IconCellPainter::thumbnailRect(tile, 64, 0).adjusted(4, 4, -4, -4);
        // In the picture's plain left half, and inside the placeholder's rounded square.
        const QPoint probe(int(picture.left() + picture.width() / 4), int(picture.center().y()));
        const QColor pictureColour(40, 120, 220);

        const QImage before = grid.viewport()->grab().toImage();
        QCOMPARE(thumbnails.cachedBytes(), qint64(0));
        QVERIFY(before.pixelColor(probe) != pictureColour);
        QTRY_COMPARE(grid.viewport()->grab().toImage().pixelColor(probe), pictureColour);
    }

    void gridSectionsFollowLibraryOrderAndSearch()
    {
        auto grid = makeGrid({ m_secondID, m_firstID }, u"b"_s);
        QVERIFY(!grid->showBackground());
        QCOMPARE(grid->sections().size(), 2);
        QCOMPARE(grid->sections().at(0).containerID, m_firstID);
        // The search leaves "B" alone, still at its place in the whole array; Two keeps its
        // section with nothing in it.
        QCOMPARE(grid->sections().at(0).iconIndexes, QList<qsizetype> { 1 });
        QVERIFY(grid->sections().at(1).iconIndexes.isEmpty());

        QSignalSpy background(grid.get(), &IconTileView::showBackgroundChanged);
        grid->setContainerSelection({ m_secondID });
        QCOMPARE(background.count(), 1);
        QCOMPARE(background.at(0).at(0).toBool(), true);
    }

    void gridPressThenDrag_data() { pressThenDragTable(); }
    void gridPressThenDrag()
    {
        auto grid = makeGrid({ m_firstID });
        checkPressThenDrag(grid->viewport(), [this, &grid](const QString &name) { return centreOf(*grid, name); });
    }

    void stripPressThenDrag_data() { pressThenDragTable(); }
    void stripPressThenDrag()
    {
        IconCollectionGallery gallery(inputs({ m_firstID }));
        checkModel(gallery.strip()->iconModel());
        gallery.resize(900, 500);
        gallery.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gallery));
        IconTileView *strip = gallery.strip();
        checkPressThenDrag(strip->viewport(), [this, strip](const QString &name) { return centreOf(*strip, name); });
    }

    void listPressThenDrag_data() { pressThenDragTable(); }
    void listPressThenDrag()
    {
        IconCollectionList list(inputs({ m_firstID }));
        checkModel(list.iconModel());
        list.resize(400, 600);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        checkPressThenDrag(
            list.viewport(),
            [this, &list](const QString &name) {
                return list.visualRect(list.iconModel()->index(list.iconModel()->rowOf(iconNamed(first(), name).id)))
                    .center();
            },
            [&list] { return list.selectionModel()->selectedIndexes().size(); });
    }

    // The list's Shift range starts at the icon selected last, also when that was selected in
    // another presentation; with nothing to start from it takes the clicked icon alone.
    void listShiftExtendsFromTheLastSelected_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("clicked"); // empty: Shift+Down instead of a click
        QTest::addColumn<QString>("after");
        QTest::newRow("click below") << u"C"_s << u"F"_s << u"CDEF"_s;
        QTest::newRow("click above the last of several") << u"AF"_s << u"D"_s << u"AFED"_s;
        QTest::newRow("nothing selected") << QString() << u"F"_s << u"F"_s;
        QTest::newRow("Shift+Down") << u"C"_s << QString() << u"CD"_s;
    }

    void listShiftExtendsFromTheLastSelected()
    {
        QFETCH(QString, before);
        QFETCH(QString, clicked);
        QFETCH(QString, after);
        IconCollectionList list(inputs({ m_firstID }));
        list.resize(400, 600);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        // The list once had input of its own, elsewhere.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
            list.visualRect(list.iconModel()->index(list.iconModel()->rowOf(iconNamed(first(), u"K"_s).id))).center());
        selectLetters(before);
        QTRY_COMPARE(list.selectionModel()->selectedIndexes().size(), before.size());
        if (clicked.isEmpty()) {
            QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);
        } else {
            const QModelIndex row = list.iconModel()->index(list.iconModel()->rowOf(iconNamed(first(), clicked).id));
            QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, list.visualRect(row).center());
        }
        QCOMPARE(selectedNames(m_selection, manager().containers()), after);
    }

    // Each section's rows are tinted along their top and bottom edges: the first row's top too.
    void listRowsTintedTopAndBottom()
    {
        IconCollectionList list(inputs({ m_firstID }));
        list.resize(400, 600);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QImage image = list.viewport()->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        const auto pixel = [&image, ratio](int x, int y) { return image.pixelColor(int(x * ratio), int(y * ratio)); };
        const QRect firstRow = list.visualRect(list.iconModel()->index(0));
        const int x = firstRow.right() - 4;
        const QColor inside = pixel(x, firstRow.center().y());
        QVERIFY(pixel(x, firstRow.top()) != inside);
        QCOMPARE(pixel(x, firstRow.top()), pixel(x, firstRow.bottom()));
        // Between two rows lies one separator, not two.
        const QRect secondRow = list.visualRect(list.iconModel()->index(1));
        QCOMPARE(pixel(x, secondRow.top()), inside);
    }

    // Names under the tiles are set one step smaller than the view's font.
    void gridNamesInTheCalloutFont()
    {
        m_services.settings.showIconNamesInGrid().write(true);
        auto grid = makeGrid({ m_firstID });
        const double withNames = grid->tileLayout().tileSize().height();
        m_services.settings.showIconNamesInGrid().write(false);
        const double without = grid->tileLayout().tileSize().height();
        const QFont callout = TextStyle::callout(grid->font());
        QVERIFY(callout.pointSizeF() < grid->font().pointSizeF());
        // The tile grows by two lines of the callout font when the square has no room for them.
        QCOMPARE(withNames,
            std::max(without,
                IconCellPainter::thumbnailPadding * 2 + 64
                    + IconCellPainter::nameBlockHeight(QFontMetricsF(callout), 2)));
    }

    // Keys after a click on C in a grid of seven columns (A to G, then H to L), the second
    // container (x, y, z) below when `both`: "S+" holds Shift, "C+" Control.
    void gridKeys_data()
    {
        QTest::addColumn<bool>("both");
        QTest::addColumn<QString>("before"); // selected elsewhere instead of the click; "-" for the click
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("current");
        QTest::newRow("arrow selects") << false << u"-"_s << QStringList { u"Right"_s } << u"D"_s << u"D"_s;
        QTest::newRow("down a row") << false << u"-"_s << QStringList { u"Down"_s } << u"J"_s << u"J"_s;
        QTest::newRow("Shift extends by the Shift rule")
            << false << u"-"_s << QStringList { u"S+Right"_s, u"S+Right"_s } << u"CDE"_s << u"E"_s;
        QTest::newRow("Shift upwards appends ascending")
            << false << u"-"_s << QStringList { u"S+Left"_s, u"S+Left"_s } << u"CBA"_s << u"A"_s;
        QTest::newRow("Control moves without selecting")
            << false << u"-"_s << QStringList { u"C+Right"_s, u"C+Right"_s } << u"C"_s << u"E"_s;
        QTest::newRow("Space toggles the current icon")
            << false << u"-"_s << QStringList { u"C+Right"_s, u"C+Right"_s, u"Space"_s } << u"CE"_s << u"E"_s;
        QTest::newRow("Space again deselects it")
            << false << u"-"_s << QStringList { u"C+Right"_s, u"Space"_s, u"C+Space"_s } << u"C"_s << u"D"_s;
        QTest::newRow("Home and End") << false << u"-"_s << QStringList { u"End"_s } << u"L"_s << u"L"_s;
        QTest::newRow("Shift+Home") << false << u"-"_s << QStringList { u"S+Home"_s } << u"CAB"_s << u"A"_s;
        QTest::newRow("from the icon selected elsewhere")
            << false << u"F"_s << QStringList { u"Right"_s } << u"G"_s << u"G"_s;
        QTest::newRow("over the next header") << true << u"L"_s << QStringList { u"Right"_s } << u"x"_s << u"x"_s;
        QTest::newRow("Shift into another container changes nothing")
            << true << u"L"_s << QStringList { u"S+Right"_s } << u"L"_s << u"x"_s;
    }

    void gridKeys()
    {
        QFETCH(bool, both);
        QFETCH(QString, before);
        QFETCH(QStringList, keys);
        QFETCH(QString, after);
        QFETCH(QString, current);
        auto grid = both ? makeGrid({ m_firstID, m_secondID }) : makeGrid({ m_firstID });
        grid->resize(600, 800);
        QCOMPARE(grid->tileLayout().columns(), 7);
        if (before == u"-"_s)
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centreOf(*grid, u"C"_s));
        else
            selectLetters(before);
        for (QString key : std::as_const(keys)) {
            Qt::KeyboardModifiers modifiers;
            if (key.startsWith(u"S+"_s))
                modifiers = Qt::ShiftModifier;
            else if (key.startsWith(u"C+"_s))
                modifiers = Qt::ControlModifier;
            if (modifiers)
                key.remove(0, 2);
            const QKeySequence sequence(key);
            QTest::keyClick(grid.get(), Qt::Key(sequence[0].key()), modifiers);
        }
        QCOMPARE(selectedNames(m_selection, manager().containers()), after);
        const Icon *shown = grid->iconAt(grid->currentTile());
        QVERIFY(shown);
        QCOMPARE(shown->name, current);
    }

    // With no tile to go to, keys change neither the selection nor the current tile.
    void gridKeysWithoutTiles()
    {
        auto grid = makeGrid({ m_firstID }, u"no such icon"_s);
        selectLetters(u"B"_s);
        for (const Qt::Key key : { Qt::Key_Right, Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown, Qt::Key_Space }) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(grid.get(), &press);
        }
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"B"_s);
        QVERIFY(!grid->currentTile().isValid());
    }

    // The current tile is framed while the view has the focus, and scrolled into view.
    void gridFocusFrame()
    {
        auto grid = makeGrid({ m_firstID });
        grid->resize(600, 120);
        grid->activateWindow();
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        QTest::keyClick(grid.get(), Qt::Key_End);
        const QRect tile = grid->visualRect(grid->currentTile());
        QVERIFY(grid->viewport()->rect().contains(tile));
        // Just above the thumbnail, in the middle.
        const auto ringShown = [&grid, &tile] {
            const QImage image = grid->viewport()->grab().toImage();
            const QRectF thumb = IconCellPainter::thumbnailRect(QRectF(tile), 64, 0);
            const qreal ratio = image.devicePixelRatio();
            const QColor accent = grid->palette().color(QPalette::Highlight);
            for (int dy = -4; dy <= 0; ++dy) {
                if (image.pixelColor(int(thumb.center().x() * ratio), int((thumb.top() + dy) * ratio)) == accent)
                    return true;
            }
            return false;
        };
        QVERIFY(ringShown());
        grid->clearFocus();
        QTRY_VERIFY(!grid->hasFocus());
        QVERIFY(!ringShown());
    }

    // Assistive technology reads each tile as a list item, and each header over separated sections
    // as a heading; the focus follows the current tile. (Events need an active bridge, which the
    // offscreen platform lacks: tst_accessibilitydisplayserver reads them from a real one.)
    void gridAccessibility()
    {
        auto grid = makeGrid({ m_firstID, m_secondID });
        QAccessibleInterface *view = QAccessible::queryAccessibleInterface(grid.get());
        QVERIFY(view);
        QCOMPARE(view->role(), QAccessible::List);
        QCOMPARE(view->childCount(), 2 + 12 + 3);
        QAccessibleInterface *header = view->child(0);
        QCOMPARE(header->role(), QAccessible::Heading);
        QCOMPARE(header->text(QAccessible::Name), u"One"_s);
        QCOMPARE(view->child(13)->role(), QAccessible::Heading);
        QAccessibleInterface *c = view->child(3);
        QCOMPARE(c->role(), QAccessible::ListItem);
        QCOMPARE(c->text(QAccessible::Name), u"C"_s);
        QCOMPARE(c->parent(), view);
        QCOMPARE(view->indexOfChild(c), 3);
        QVERIFY(c->state().selectable);
        QVERIFY(!c->state().selected);
        QCOMPARE(c->rect().center(), grid->viewport()->mapToGlobal(centreOf(*grid, u"C"_s)));
        QCOMPARE(view->childAt(c->rect().center().x(), c->rect().center().y()), c);

        grid->activateWindow();
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centreOf(*grid, u"C"_s));
        QVERIFY(c->state().selected);
        QVERIFY(c->state().focused);
        QCOMPARE(view->focusChild(), c);
        QTest::keyClick(grid.get(), Qt::Key_Right);
        QVERIFY(!c->state().focused);
        QVERIFY(view->child(4)->state().focused);
        QCOMPARE(view->focusChild(), view->child(4));

        // A tile's actions are its plain and Control clicks.
        QAccessibleActionInterface *actions = view->child(6)->actionInterface();
        QVERIFY(actions);
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"DF"_s);
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"F"_s);
        QVERIFY(!header->actionInterface() || header->actionInterface()->actionNames().isEmpty());

        // A search resets the tiles: children made before answer as invalid.
        grid->setSearchText(u"x"_s);
        QVERIFY(!c->isValid());
        QCOMPARE(view->childCount(), 2 + 1);
        QCOMPARE(view->child(2)->text(QAccessible::Name), u"x"_s);
    }

    void gridDragReorder()
    {
        auto grid = makeGrid({ m_firstID });
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centreOf(*grid, u"A"_s));
        const QRect c = grid->visualRect(iconNamed(first(), u"C"_s).id);

        auto data = std::make_unique<IconDragMimeData>(
            iconNamed(first(), u"A"_s), m_services.iconSetter, m_services.settings);
        data->setSourceView(grid.get());
        QVERIFY(dropAt(grid->viewport(), data.get(), QPoint(c.right() - 4, c.center().y())));
        QCOMPARE(IconFixture::namesOf(first().icons), u"BCADEFGHIJKL"_s);
        // The moved icon stays selected.
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"A"_s);

        const QRect b = grid->visualRect(iconNamed(first(), u"B"_s).id);
        QVERIFY(dropAt(grid->viewport(), data.get(), QPoint(b.left() + 4, b.center().y())));
        QCOMPARE(IconFixture::namesOf(first().icons), u"ABCDEFGHIJKL"_s);
    }

    void foreignDropsAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("plain text from another program") << u"text"_s;
        QTest::newRow("another program naming our private type") << u"copied type"_s;
        QTest::newRow("our data without a source view") << u"no source"_s;
    }

    void foreignDropsAreRefused()
    {
        QFETCH(QString, kind);
        auto grid = makeGrid({ m_firstID });
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centreOf(*grid, u"A"_s));
        std::unique_ptr<QMimeData> data;
        if (kind == u"text"_s) {
            data = std::make_unique<QMimeData>();
            data->setText(u"hello"_s);
        } else if (kind == u"copied type"_s) {
            data = std::make_unique<QMimeData>();
            data->setData(IconDragMimeData::reorderFormat, "x");
        } else {
            data = std::make_unique<IconDragMimeData>(
                iconNamed(first(), u"A"_s), m_services.iconSetter, m_services.settings);
        }
        const QRect c = grid->visualRect(iconNamed(first(), u"C"_s).id);
        QVERIFY(!dropAt(grid->viewport(), data.get(), QPoint(c.right() - 4, c.center().y())));
        QCOMPARE(IconFixture::namesOf(first().icons), u"ABCDEFGHIJKL"_s);
    }

    // Other programs learn the types from formats(): the private one is never among them, while
    // our own view, handed this very object, still recognises it.
    void reorderTypeIsOfferedOnlyToOurViews()
    {
        auto grid = makeGrid({ m_firstID });
        IconDragMimeData data(iconNamed(first(), u"A"_s), m_services.iconSetter, m_services.settings);
        data.setSourceView(grid.get());
        QVERIFY(!data.formats().contains(IconDragMimeData::reorderFormat));
        QVERIFY(!data.formats().isEmpty());
        QVERIFY(data.hasFormat(IconDragMimeData::reorderFormat));
        QVERIFY(IconDragMimeData::isOwnDrag(&data));
        data.setSourceView(nullptr);
        QVERIFY(!data.hasFormat(IconDragMimeData::reorderFormat));
        QVERIFY(data.data(IconDragMimeData::reorderFormat).isEmpty());
    }

    // At a large preview size the strip's tiles are still sized by the gallery size: the right
    // half of the last tile must put the icons behind it.
    void galleryDropsBehindTheLastTile()
    {
        m_services.settings.iconPreviewSize().write(512);
        IconCollectionGallery gallery(inputs({ m_secondID }));
        checkModel(gallery.strip()->iconModel());
        gallery.resize(700, 700);
        gallery.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gallery));
        IconTileView *strip = gallery.strip();
        const IconContainer &two = manager().containers().at(1);
        QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, strip->visualRect(iconNamed(two, u"x"_s).id).center());
        const QRect z = strip->visualRect(iconNamed(two, u"z"_s).id);
        QVERIFY(z.width() < 256);

        auto data
            = std::make_unique<IconDragMimeData>(iconNamed(two, u"x"_s), m_services.iconSetter, m_services.settings);
        data->setSourceView(strip);
        QVERIFY(dropAt(strip->viewport(), data.get(), QPoint(z.right() - 2, z.center().y())));
        QCOMPARE(IconFixture::namesOf(manager().containers().at(1).icons), u"yzx"_s);
    }

    void galleryFirstIconRule()
    {
        // Nothing selected: the first icon of the first selected container in library order.
        IconCollectionGallery gallery(inputs({ m_secondID, m_firstID }));
        checkModel(gallery.strip()->iconModel());
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"A"_s);
        QCOMPARE(gallery.preview()->icon()->name, u"A"_s);

        // Switching to Two: A is no longer shown, so Two's first icon is selected whether or not
        // the window has pruned A yet.
        gallery.setContainerSelection({ m_secondID });
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"Ax"_s);
        m_selection.deselect(iconNamed(first(), u"A"_s).id); // the window's pruning
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"x"_s);
        QCOMPARE(gallery.preview()->icon()->name, u"x"_s);

        // An icon of a shown container is selected: nothing is added.
        gallery.setContainerSelection({ m_secondID, m_firstID });
        QCOMPARE(selectedNames(m_selection, manager().containers()), u"x"_s);

        // A click beside the preview empties the selection and the preview.
        gallery.resize(600, 600);
        gallery.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gallery));
        QTest::mouseClick(gallery.preview(), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(m_selection.selection().empty());
        QVERIFY(!gallery.preview()->icon());

        // A container without icons selects nothing.
        IconContainer empty { .title = u"Empty"_s };
        QList<IconContainer> containers = manager().containers();
        containers.prepend(empty);
        manager().setContainers(containers);
        gallery.setContainerSelection({ empty.id });
        QVERIFY(m_selection.selection().empty());
    }

    void galleryNamesAnimateTheStrip_data()
    {
        QTest::addColumn<GalleryIconSize>("size");
        QTest::addColumn<bool>("grows");
        QTest::newRow("default") << GalleryIconSize::defaultSize << true;
        QTest::newRow("small: names stay hidden") << GalleryIconSize::small << false;
    }

    void galleryNamesAnimateTheStrip()
    {
        QFETCH(GalleryIconSize, size);
        QFETCH(bool, grows);
        m_services.settings.galleryIconSize().write(size);
        m_services.settings.showIconNamesInGallery().write(false);
        IconCollectionInputs given = inputs({ m_firstID });
        given.motion = MotionPolicy();
        IconCollectionGallery gallery(std::move(given));
        gallery.resize(600, 500);
        gallery.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gallery));
        IconTileView *strip = gallery.strip();
        auto *animation = gallery.findChild<MotionAnimation *>(u"stripHeightAnimation"_s);
        const int without = strip->height();
        QWidget *backdrop = strip->parentWidget();
        const int top = backdrop->y();

        m_services.settings.showIconNamesInGallery().write(true);
        QCOMPARE(animation->isMoving(), grows);
        if (!grows) {
            QCOMPARE(strip->height(), without);
            return;
        }
        animation->pause();
        animation->setCurrentTime(MotionPolicy::standardMilliseconds / 2);
        const int midway = animation->value().toInt();
        animation->setCurrentTime(MotionPolicy::standardMilliseconds);
        const int with = strip->height();
        QVERIFY(with > without + 8);
        QVERIFY(midway > without && midway < with);
        // What the strip takes, the preview above it gives up.
        QTRY_COMPARE(backdrop->y(), top - (with - without));

        // Any other change of height, such as a smaller size, is made at once.
        m_services.settings.galleryIconSize().write(GalleryIconSize::small);
        QVERIFY(!animation->isMoving());
        QVERIFY(strip->height() < without);
        m_services.settings.showIconNamesInGallery().write(false);
    }

    // Rows per section, the roles the views paint from, and the signals that keep them current.
    void iconModel()
    {
        IconModel model(manager(), m_selection, m_services.thumbnails);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QCOMPARE(model.rowCount(), 0);
        model.setContainerSelection({ m_firstID, m_secondID });
        model.setSearchText(u"x"_s);
        // Two headers and the one icon that matches.
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(model.isHeader(0));
        QVERIFY(!(model.flags(model.index(0)) & Qt::ItemIsSelectable));
        QCOMPARE(model.index(1).data(IconModel::CreditRole).toString(), creditLine(manager().containers().at(1)));
        QCOMPARE(model.rowOf(1, 0), 2);
        const QModelIndex x = model.index(2);
        QCOMPARE(x.data(IconModel::NameRole).toString(), u"x"_s);

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        m_selection.select(x.data(IconModel::IconIdRole).toUuid());
        QVERIFY(x.data(IconModel::SelectedRole).toBool());
        QVERIFY(!changed.isEmpty());

        // The picture comes once decoded, announced for its row.
        model.setPictureSize(32, 1);
        QVERIFY(x.data(IconModel::HasPictureRole).toBool());
        changed.clear();
        if (x.data(IconModel::PictureRole).value<QImage>().isNull())
            QTRY_VERIFY(std::any_of(changed.cbegin(), changed.cend(),
                [&x](const QList<QVariant> &args) { return args.at(0).toModelIndex() == x; }));
        QVERIFY(!x.data(IconModel::PictureRole).value<QImage>().isNull());

        // One container: no headers; the library's writes reach the rows.
        model.setContainerSelection({ m_secondID });
        model.setSearchText({});
        QCOMPARE(model.rowCount(), 3);
        QList<IconContainer> containers = manager().containers();
        containers[1].icons.removeFirst();
        manager().setContainers(containers);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.index(0).data(Qt::DisplayRole).toString(), u"y"_s);

        // The search follows edits of the searched fields, also of containers that moved.
        model.setSearchText(u"y"_s);
        QCOMPARE(model.rowCount(), 1);
        containers = manager().containers();
        containers[1].icons[0].name = u"Moon"_s;
        std::swap(containers[0], containers[1]);
        manager().setContainers(containers);
        QCOMPARE(model.rowCount(), 0);
        model.setSearchText(u"MOON"_s);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0).data(Qt::DisplayRole).toString(), u"Moon"_s);
    }

    // Icons the search hides stay selected through Control and Shift clicks; a plain click leaves
    // exactly its icon, and a click beside the rows none. The row clicked last is the last of the
    // selection.
    void listSelectionBridge()
    {
        const IconContainer things
            = IconFixture::container(u"Things"_s, { u"red ball"_s, u"blue cup"_s, u"red box"_s });
        manager().setContainers({ things });
        IconSelection start;
        start.insert(iconNamed(things, u"blue cup"_s).id);
        m_selection.setSelection(start);

        IconCollectionList list(inputs({ things.id }, u"red"_s));

        checkModel(list.iconModel());
        list.resize(400, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(list.iconModel()->rowCount(), 2);
        const auto centre = [&list, &things](const QString &name) {
            return list.visualRect(list.iconModel()->index(list.iconModel()->rowOf(iconNamed(things, name).id)))
                .center();
        };
        const auto names = [this] { return selectedNames(m_selection, manager().containers()); };

        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, centre(u"red box"_s));
        QCOMPARE(names(), u"blue cupred box"_s);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, centre(u"red ball"_s));
        QCOMPARE(names(), u"blue cupred boxred ball"_s);
        // A Shift range ending on the already selected box puts it last.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(u"red box"_s));
        QCOMPARE(names(), u"blue cupred ballred box"_s);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, centre(u"red box"_s));
        QCOMPARE(names(), u"blue cupred ball"_s);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre(u"red box"_s));
        QCOMPARE(names(), u"red box"_s);

        // The same plain click when its row is already the only one the list shows selected.
        IconSelection hiddenToo;
        hiddenToo.insert(iconNamed(things, u"blue cup"_s).id);
        hiddenToo.insert(iconNamed(things, u"red box"_s).id);
        m_selection.setSelection(hiddenToo);
        QTRY_COMPARE(list.selectionModel()->selectedIndexes().size(), 1);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre(u"red box"_s));
        QCOMPARE(names(), u"red box"_s);

        m_selection.setSelection(hiddenToo);
        QTRY_COMPARE(list.selectionModel()->selectedIndexes().size(), 1);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(200, 290));
        QVERIFY(m_selection.selection().empty());

        // Changes made elsewhere reach the rows once control returns to the event loop.
        m_selection.setSelection({});
        QTRY_VERIFY(list.selectionModel()->selectedIndexes().isEmpty());
    }
};

QTEST_MAIN(TestIconCollectionViews)
#include "tst_iconcollectionviews.moc"
