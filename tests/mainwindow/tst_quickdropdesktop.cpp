// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/thumbnailprovider.h"
#include "mainwindow/quickdropview.h"
#include "platform/giofileiconsetter.h"
#include "support/privatesessionbus.h"

#include <QBuffer>
#include <QDir>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The real set-icon layer behind a drop, as the program runs it.
class TestQuickDropDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && m_metadataHome.isValid() && m_items.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QStandardPaths::setTestModeEnabled(true);
        m_bus = std::make_unique<PrivateSessionBus>(m_metadataHome.path());
        QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->errorString()));
    }

    void cleanupTestCase()
    {
        QDir(GioFileIconSetter::customIconFolder()).removeRecursively();
        m_bus.reset();
    }

    void droppedFileGetsTheIcon()
    {
        QImage picture(48, 48, QImage::Format_ARGB32);
        picture.fill(qRgba(30, 160, 90, 255));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");

        const QString path = m_items.filePath(u"report with spaces.txt"_s);
        QFile item(path);
        QVERIFY(item.open(QIODevice::WriteOnly));
        item.write("text");
        item.close();

        QuickDropView panel(ThumbnailProvider::shared());
        panel.setIcon(Icon(QUuid::createUuid(), QUuid::createUuid(), u"Green"_s, IconFileType::image, std::nullopt, png,
            {}, {}, {}, std::nullopt));
        QMimeData mime;
        mime.setUrls({ QUrl::fromLocalFile(path) });
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&panel, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QSignalSpy finished(&panel, &QuickDropView::dropFinished);
        QCoreApplication::sendEvent(&panel, &drop);
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished[0][0].toBool(), true);

        const QString seen = customIconSeenByGio(path);
        QVERIFY2(!seen.isEmpty() && QFile::exists(seen), qPrintable(seen));
        QCOMPARE(QImage(seen).convertToFormat(QImage::Format_ARGB32), picture);
        QVERIFY(QFile::exists(path)); // a copy, never a move
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_metadataHome;
    QTemporaryDir m_items;
    std::unique_ptr<PrivateSessionBus> m_bus;
};

QTEST_MAIN(TestQuickDropDesktop)
#include "tst_quickdropdesktop.moc"
