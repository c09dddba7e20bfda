// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/thumbnailprovider.h"
#include "mainwindow/quickdropview.h"
#include "platform/desktop/fileiconsetter.h"
#include "support/appservices.h"
#include "support/libraryfixture.h"
#include "widgets/motionanimation.h"

#include <QBuffer>
#include <QDragEnterEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QMutex>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Records every call; fails for paths whose name holds "fail". Optionally holds each call until
// released, so a test can look at the panel while a drop is in flight.
class FakeIconSetter : public FileIconSetter
{
public:
    struct Call
    {
        QString path;
        bool hasImage;
    };

    bool setIcon(const std::optional<QImage> &image, const QString &path) override
    {
        ++m_entered;
        if (m_holding)
            m_release.acquire();
        QMutexLocker lock(&m_mutex);
        m_calls.append({ path, image.has_value() && !image->isNull() });
        return !path.contains(u"fail"_s);
    }

    QList<Call> calls() const
    {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }
    // Calls begun, also those still held.
    int entered() const { return m_entered; }
    void hold() { m_holding = true; }
    void release(int count) { m_release.release(count); }

private:
    mutable QMutex m_mutex;
    QList<Call> m_calls;
    std::atomic<bool> m_holding = false;
    std::atomic<int> m_entered = 0;
    QSemaphore m_release;
};

QByteArray pngBytes()
{
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(qRgba(200, 40, 40, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

Icon makeIcon(IconFileType type, std::optional<QByteArray> icns, std::optional<QByteArray> image)
{
    return Icon { .id = QUuid::createUuid(),
        .containerID = QUuid::createUuid(),
        .name = u"Icon"_s,
        .type = type,
        .icnsData = std::move(icns),
        .imageData = std::move(image) };
}

// Sends what a file manager's drag would: enter, then drop, carrying the URLs.
Qt::DropAction dropUrls(QWidget &target, const QList<QUrl> &urls, Qt::DropActions possible = Qt::CopyAction,
    Qt::DropAction proposed = Qt::CopyAction)
{
    QMimeData mime;
    mime.setUrls(urls);
    const QPointF at(target.width() / 2.0, 10);
    QDragEnterEvent enter(at.toPoint(), possible, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(proposed);
    QCoreApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDropEvent drop(at, possible, &mime, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(proposed);
    QCoreApplication::sendEvent(&target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

const QString idleSymbol = u"cursorarrow.and.square.on.square.dashed"_s;

// Runs what was posted to this thread so far: a call posted now comes after it.
bool passPostedEvents(QObject &receiver)
{
    bool ran = false;
    QMetaObject::invokeMethod(
        &receiver, [&ran] { ran = true; }, Qt::QueuedConnection);
    return QTest::qWaitFor([&ran] { return ran; });
}

MotionAnimation *animation(const QuickDropView &panel, const QString &name)
{
    auto *found = panel.findChild<MotionAnimation *>(name);
    Q_ASSERT(found);
    return found;
}

QColor pixel(QWidget &widget, QPointF at)
{
    return widget.grab().toImage().pixelColor(at.toPoint());
}

// How far `color` has gone from `from` towards `to`, by its green channel.
double mixOf(const QColor &color, const QColor &from, const QColor &to)
{
    return double(color.green() - from.green()) / (to.green() - from.green());
}

} // namespace

class TestQuickDropView : public QObject
{
    Q_OBJECT

    AppServices m_services;

private:
    LibraryFixture m_fixture;
    QTemporaryDir m_folder;
    std::shared_ptr<FakeIconSetter> m_setter;

    QUrl file(const QString &name)
    {
        const QString path = m_folder.filePath(name);
        LibraryFixture::writeFile(path, "x");
        return QUrl::fromLocalFile(path);
    }

private slots:
    void init() { m_setter = std::make_shared<FakeIconSetter>(); }

    void cleanup()
    {
        m_setter->release(1000);
        QThreadPool::globalInstance()->waitForDone();
        m_setter.reset();
    }

    void statusSymbol_data()
    {
        QTest::addColumn<bool>("didFinishDrop");
        QTest::addColumn<bool>("dropSuccessful");
        QTest::addColumn<bool>("isTargeted");
        QTest::addColumn<bool>("hasIcon");
        QTest::addColumn<QString>("symbol");

        QTest::newRow("success") << true << true << true << false << u"checkmark"_s;
        QTest::newRow("failure") << true << false << true << false << u"xmark"_s;
        QTest::newRow("hover without icon") << false << true << true << false << u"minus.circle"_s;
        QTest::newRow("hover with icon") << false << false << true << true << idleSymbol;
        QTest::newRow("idle") << false << false << false << false << idleSymbol;
    }

    void statusSymbol()
    {
        QFETCH(bool, didFinishDrop);
        QFETCH(bool, dropSuccessful);
        QFETCH(bool, isTargeted);
        QFETCH(bool, hasIcon);
        QFETCH(QString, symbol);
        QCOMPARE(QuickDropView::statusSymbol(didFinishDrop, dropSuccessful, isTargeted, hasIcon), symbol);
    }

    void dropShowsCombinedResult_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("withIcon");
        QTest::addColumn<int>("calls");
        QTest::addColumn<bool>("successful");

        QTest::newRow("three succeed") << QStringList { u"a"_s, u"b"_s, u"c"_s } << true << 3 << true;
        QTest::newRow("one of three fails") << QStringList { u"a"_s, u"fail"_s, u"c"_s } << true << 3 << false;
        QTest::newRow("the failure comes first") << QStringList { u"fail"_s, u"b"_s, u"c"_s } << true << 3 << false;
        QTest::newRow("no icon removes") << QStringList { u"a"_s, u"b"_s } << false << 2 << true;
    }

    void dropShowsCombinedResult()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, withIcon);
        QFETCH(int, calls);
        QFETCH(bool, successful);

        QuickDropView panel(m_services.thumbnails, m_setter);
        if (withIcon)
            panel.setIcon(makeIcon(IconFileType::image, std::nullopt, pngBytes()));
        QList<QUrl> urls;
        for (const QString &name : std::as_const(names))
            urls << file(name);

        // Nothing shows while the items are still being handled: all but the last are done, and
        // what their handling posted has arrived.
        m_setter->hold();
        QSignalSpy finished(&panel, &QuickDropView::dropFinished);
        QCOMPARE(dropUrls(panel, urls), Qt::CopyAction);
        m_setter->release(calls - 1);
        QTRY_COMPARE(m_setter->entered(), calls);
        QVERIFY(passPostedEvents(panel));
        QCOMPARE(finished.count(), 0);
        QCOMPARE(panel.statusSymbol(), idleSymbol);
        m_setter->release(1);

        QVERIFY(finished.wait());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished[0][0].toBool(), successful);
        QCOMPARE(panel.statusSymbol(), successful ? u"checkmark"_s : u"xmark"_s);
        const QList<FakeIconSetter::Call> made = m_setter->calls();
        QCOMPARE(made.size(), calls);
        for (const FakeIconSetter::Call &call : made)
            QCOMPARE(call.hasImage, withIcon);
        // The result clears again after a second.
        QTRY_COMPARE_WITH_TIMEOUT(panel.statusSymbol(), idleSymbol, 3000);
    }

    void iconData_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("icns");
        QTest::addColumn<bool>("image");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("called");

        const QByteArray png = pngBytes();
        QTest::newRow("icns icon with only image data") << int(IconFileType::icns) << false << true << png << true;
        QTest::newRow("image icon") << int(IconFileType::image) << false << true << png << true;
        QTest::newRow("undecodable data")
            << int(IconFileType::image) << false << true << QByteArray("no image") << false;
        QTest::newRow("icns icon without any data")
            << int(IconFileType::icns) << false << false << QByteArray() << false;
    }

    // A chosen icon that gives no picture must not remove the items' custom icons.
    void iconData()
    {
        QFETCH(int, type);
        QFETCH(bool, icns);
        QFETCH(bool, image);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, called);

        QuickDropView panel(m_services.thumbnails, m_setter);
        panel.setIcon(makeIcon(IconFileType(type), icns ? std::optional(bytes) : std::nullopt,
            image ? std::optional(bytes) : std::nullopt));
        QSignalSpy finished(&panel, &QuickDropView::dropFinished);
        dropUrls(panel, { file(u"item"_s) });
        QVERIFY(finished.wait());
        QCOMPARE(finished[0][0].toBool(), called);
        QCOMPARE(m_setter->calls().size(), called ? 1 : 0);
        if (called)
            QVERIFY(m_setter->calls()[0].hasImage);
    }

    void dropsAreNeverMoves_data()
    {
        QTest::addColumn<int>("possible");
        QTest::addColumn<int>("proposed");
        QTest::addColumn<int>("taken");

        QTest::newRow("move proposed, copy allowed")
            << int(Qt::MoveAction | Qt::CopyAction) << int(Qt::MoveAction) << int(Qt::CopyAction);
        QTest::newRow("link") << int(Qt::LinkAction) << int(Qt::LinkAction) << int(Qt::LinkAction);
        QTest::newRow("move only") << int(Qt::MoveAction) << int(Qt::MoveAction) << int(Qt::IgnoreAction);
    }

    void dropsAreNeverMoves()
    {
        QFETCH(int, possible);
        QFETCH(int, proposed);
        QFETCH(int, taken);

        QuickDropView panel(m_services.thumbnails, m_setter);
        const Qt::DropAction action
            = dropUrls(panel, { file(u"item"_s) }, Qt::DropActions(possible), Qt::DropAction(proposed));
        QCOMPARE(int(action), taken);
        if (action == Qt::IgnoreAction) {
            QVERIFY(passPostedEvents(panel));
            QThreadPool::globalInstance()->waitForDone();
            QVERIFY(m_setter->calls().isEmpty());
            QCOMPARE(m_setter->entered(), 0);
        }
    }

    void remoteUrlsAreNotTaken()
    {
        QuickDropView panel(m_services.thumbnails, m_setter);
        QCOMPARE(dropUrls(panel, { QUrl(u"https://example.org/a.txt"_s) }), Qt::IgnoreAction);
        QVERIFY(!panel.isTargeted());
    }

    // Run under the sanitizer build: neither a completion nor a reset may reach a deleted panel.
    void nothingRunsAfterThePanelIsGone()
    {
        auto finishedPanel = std::make_unique<QuickDropView>(m_services.thumbnails, m_setter);
        QSignalSpy finished(finishedPanel.get(), &QuickDropView::dropFinished);
        dropUrls(*finishedPanel, { file(u"a"_s) });
        QVERIFY(finished.wait());
        // Due after the panel's last reset would be, however coarse its timers.
        QTimer afterResets;
        afterResets.setSingleShot(true);
        afterResets.setTimerType(Qt::PreciseTimer);
        QSignalSpy resetsPassed(&afterResets, &QTimer::timeout);
        afterResets.start(QuickDropView::successResetMilliseconds * 21 / 20 + 1);
        finishedPanel.reset(); // its resets were still pending

        m_setter->hold();
        auto busyPanel = std::make_unique<QuickDropView>(m_services.thumbnails, m_setter);
        dropUrls(*busyPanel, { file(u"b"_s) });
        busyPanel.reset(); // its drop is still being handled
        m_setter->release(1);
        QThreadPool::globalInstance()->waitForDone();
        QObject marker;
        QVERIFY(passPostedEvents(marker));
        QVERIFY(resetsPassed.wait(10000));
        QCOMPARE(m_setter->calls().size(), 2);
    }

    void titleIsItalicThenBold()
    {
        QuickDropView panel(m_services.thumbnails, m_setter);
        const QList<QLabel *> labels = panel.findChildren<QLabel *>();
        const auto title = std::find_if(
            labels.begin(), labels.end(), [](QLabel *label) { return label->text().contains(u"Quick"_s); });
        QVERIFY(title != labels.end());
        QCOMPARE((*title)->text(), u"<i>Quick</i><b>Drop</b>"_s);
    }

    void clickTogglesExpanded()
    {
        QuickDropView panel(m_services.thumbnails, m_setter);
        panel.resize(200, panel.sizeHint().height());
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const int collapsedHeight = panel.sizeHint().height();
        QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(100, 10));
        QVERIFY(panel.isExpanded());
        // Without an icon the expanded part holds the instruction, 96 points narrower than the panel.
        QVERIFY(panel.sizeHint().height() >= collapsedHeight + 200 - 96);
        QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(100, 10));
        QVERIFY(!panel.isExpanded());

        // The header's labels pass their clicks on.
        for (QLabel *label : panel.findChildren<QLabel *>()) {
            // Collapsed, only the header's labels are shown.
            if (!label->isVisible())
                continue;
            QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
            QVERIFY2(panel.isExpanded(), qPrintable(label->text()));
            QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
            QVERIFY(!panel.isExpanded());
        }
    }

    void openingFollowsTheSpring()
    {
        // In a column, as the sidebar holds it, so the layout is seen following the panel.
        QWidget column;
        auto *layout = new QVBoxLayout(&column);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addStretch(1);
        auto *panel = new QuickDropView(m_services.thumbnails, m_setter);
        panel->setMotionPolicy(MotionPolicy());
        layout->addWidget(panel);
        column.resize(240, 600);
        column.show();
        QVERIFY(QTest::qWaitForWindowExposed(&column));
        panel->setIcon(makeIcon(IconFileType::image, std::nullopt, pngBytes()));
        animation(*panel, u"iconAnimation"_s)->setCurrentTime(MotionPolicy::springMilliseconds);
        const int collapsed = panel->height();
        const int expanded = collapsed + 8 + (240 - 96) + 16;
        const QRectF header = panel->headerPreviewFrame();
        const QRectF large = panel->expandedFrame();
        QCOMPARE(large.width(), 240.0 - 96);
        QCOMPARE(panel->previewFrame(), header);

        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(100, 10));
        MotionAnimation *open = animation(*panel, u"openAnimation"_s);
        QVERIFY(open->isMoving());
        QCOMPARE(open->duration(), MotionPolicy::springMilliseconds);
        open->pause();
        int last = collapsed;
        for (int time = 0; time <= open->duration(); time += 10) {
            open->setCurrentTime(time);
            layout->activate();
            // The column gives the panel the height it asks for now; it only grows, never past its end.
            QCOMPARE(panel->height(), panel->sizeHint().height());
            QVERIFY2(panel->height() >= last && panel->height() <= expanded, qPrintable(QString::number(time)));
            last = panel->height();
            if (time == 60) {
                // The one preview is on its way and growing: between its two frames.
                const QRectF frame = panel->previewFrame();
                QVERIFY(panel->height() > collapsed + 20 && panel->height() < expanded - 20);
                QVERIFY(frame.width() > header.width() + 10 && frame.width() < large.width() - 10);
                QVERIFY(frame.center().y() > header.center().y() && frame.center().y() < large.center().y());
            }
        }
        QCOMPARE(panel->height(), expanded);
        QCOMPARE(panel->previewFrame(), large);

        // Closing takes the preview back to the header.
        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(100, 10));
        QVERIFY(open->isMoving());
        open->setCurrentTime(open->duration());
        layout->activate();
        QCOMPARE(panel->height(), collapsed);
        QCOMPARE(panel->previewFrame(), header);
    }

    void iconFadesInAndOut()
    {
        QuickDropView panel(m_services.thumbnails, m_setter);
        panel.setMotionPolicy(MotionPolicy());
        panel.resize(240, panel.sizeHint().height());
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const QPointF centre = panel.headerPreviewFrame().center();
        const QColor background = pixel(panel, centre);
        const QColor red(200, 40, 40);

        panel.setIcon(makeIcon(IconFileType::image, std::nullopt, pngBytes()));
        MotionAnimation *presence = animation(panel, u"iconAnimation"_s);
        QVERIFY(presence->isMoving());
        presence->pause();
        presence->setCurrentTime(MotionPolicy::springMilliseconds / 5);
        QTRY_VERIFY(pixel(panel, centre) != background); // once the picture has been decoded
        const double arriving = mixOf(pixel(panel, centre), background, red);
        QVERIFY2(arriving > 0.2 && arriving < 0.9, qPrintable(QString::number(arriving)));
        presence->setCurrentTime(MotionPolicy::springMilliseconds);
        QCOMPARE(pixel(panel, centre), red);

        // The icon that leaves fades where it stood.
        panel.setIcon(std::nullopt);
        QVERIFY(presence->isMoving());
        presence->pause();
        presence->setCurrentTime(MotionPolicy::springMilliseconds / 5);
        const double leaving = mixOf(pixel(panel, centre), background, red);
        QVERIFY2(leaving > 0.1 && leaving < 0.8, qPrintable(QString::number(leaving)));
        presence->setCurrentTime(MotionPolicy::springMilliseconds);
        QCOMPARE(pixel(panel, centre), background);
    }

    void instructionBlursAwayAsAnIconArrives()
    {
        QuickDropView panel(m_services.thumbnails, m_setter);
        panel.setMotionPolicy(MotionPolicy());
        panel.setExpanded(true);
        animation(panel, u"openAnimation"_s)->setCurrentTime(MotionPolicy::springMilliseconds);
        panel.resize(240, panel.sizeHint().height());
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        // A point on the dashed frame's left edge, below the preview's way.
        const QRectF frame = panel.expandedFrame();
        const QPointF edge(frame.left() + 1, frame.center().y());
        const QColor dashed = pixel(panel, edge);
        panel.setIcon(makeIcon(IconFileType::image, std::nullopt, pngBytes()));
        MotionAnimation *presence = animation(panel, u"iconAnimation"_s);
        presence->pause();
        presence->setCurrentTime(0);
        QCOMPARE(pixel(panel, edge), dashed);
        presence->setCurrentTime(MotionPolicy::springMilliseconds);
        // Gone, with the icon in its place.
        QVERIFY(pixel(panel, edge) != dashed);
        QVERIFY(panel.accessibleDescription().isEmpty());
        panel.setIcon(std::nullopt);
        presence->setCurrentTime(MotionPolicy::springMilliseconds);
        QCOMPARE(pixel(panel, edge), dashed);
        QVERIFY(panel.accessibleDescription().contains(u"Select an icon"_s));
    }

    void resultsAndResetsCrossFadeTheSymbol()
    {
        QuickDropView panel(m_services.thumbnails, m_setter);
        panel.setMotionPolicy(MotionPolicy());
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        auto *symbol = panel.findChildren<QLabel *>().first();
        MotionAnimation *fade = animation(panel, u"symbolAnimation"_s);
        const QImage idle = symbol->pixmap().toImage();

        // A drop of nothing shows the cross at once as the state, fading in on screen.
        QVERIFY(!panel.performDrop({ QUrl(u"https://example.org/x"_s) }));
        QCOMPARE(panel.statusSymbol(), u"xmark"_s);
        QVERIFY(fade->isMoving());
        QCOMPARE(fade->duration(), MotionPolicy::standardMilliseconds);
        fade->pause();
        fade->setCurrentTime(MotionPolicy::standardMilliseconds / 2);
        const QImage midway = symbol->pixmap().toImage();
        fade->setCurrentTime(MotionPolicy::standardMilliseconds);
        const QImage cross = symbol->pixmap().toImage();
        QVERIFY(midway != idle && midway != cross && cross != idle);

        // The reset a second later fades back the same way.
        QTRY_COMPARE(panel.statusSymbol(), idleSymbol);
        QVERIFY(fade->isMoving());
        fade->setCurrentTime(MotionPolicy::standardMilliseconds);
        QCOMPARE(symbol->pixmap().toImage(), idle);

        // A hovering drag changes it at once.
        QMimeData mime;
        mime.setUrls({ file(u"a"_s) });
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&panel, &enter);
        QCOMPARE(panel.statusSymbol(), u"minus.circle"_s);
        QVERIFY(!fade->isMoving());
        QVERIFY(symbol->pixmap().toImage() != idle);
    }

    void stillDesktopChangesAtOnce()
    {
        QuickDropView panel(m_services.thumbnails, m_setter);
        panel.setMotionPolicy(MotionPolicy::still());
        panel.resize(240, panel.sizeHint().height());
        const int collapsed = panel.sizeHint().height();
        panel.setIcon(makeIcon(IconFileType::image, std::nullopt, pngBytes()));
        panel.setExpanded(true);
        QVERIFY(!panel.performDrop({}));
        for (MotionAnimation *each : panel.findChildren<MotionAnimation *>())
            QVERIFY2(!each->isMoving(), qPrintable(each->objectName()));
        QCOMPARE(panel.sizeHint().height(), collapsed + 8 + (240 - 96) + 16);
        QCOMPARE(panel.previewFrame(), panel.expandedFrame());
    }
};

QTEST_MAIN(TestQuickDropView)
#include "tst_quickdropview.moc"
