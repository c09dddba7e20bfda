// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/thumbnailprovider.h"
#include "mainwindow/quickdropview.h"
#include "platform/desktop/giofileiconsetter.h"
#include "support/appservices.h"
#include "support/inotifywatch.h"
#include "support/libraryfixture.h"
#include "support/privatesessionbus.h"

#include <QBuffer>
#include <QDir>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <sys/inotify.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

// The real set-icon layer behind a drop, as the program runs it.
class TestQuickDropDesktop : public QObject
{
    Q_OBJECT

    AppServices m_services;

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

        QuickDropView panel(m_services.thumbnails, m_services.iconSetter);
        panel.setIcon(Icon { .id = QUuid::createUuid(),
            .containerID = QUuid::createUuid(),
            .name = u"Green"_s,
            .type = IconFileType::image,
            .imageData = png });
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

    // File managers learn of the new icon, and of its removal, from their watch on the folder: each
    // item handled moves its change time. A file keeps its modification time to the nanosecond; a
    // folder keeps the new one that writing inside it gave, as Dolphin looks for that.
    void dropIsAnnounced()
    {
        QTemporaryDir folder;
        const QStringList names = { u"Photos"_s, u"notes.txt"_s }; // as sorted
        QVERIFY(QDir().mkdir(folder.filePath(names.at(0))));
        QVERIFY(LibraryFixture::writeFile(folder.filePath(names.at(1)), "text"));
        const struct timespec stamp = { 1700000000, 123456789 };
        const auto setStamp = [&] {
            for (const QString &name : names) {
                const struct timespec times[2] = { stamp, stamp };
                if (::utimensat(AT_FDCWD, QFile::encodeName(folder.filePath(name)).constData(), times, 0) != 0)
                    return false;
            }
            return true;
        };
        QList<QUrl> urls;
        for (const QString &name : names)
            urls.append(QUrl::fromLocalFile(folder.filePath(name)));
        const auto stamped = std::pair(qint64(stamp.tv_sec), qint64(stamp.tv_nsec));
        const auto modified = [&folder](const QString &name) {
            struct stat info
            {
            };
            ::lstat(QFile::encodeName(folder.filePath(name)).constData(), &info);
            return std::pair(qint64(info.st_mtim.tv_sec), qint64(info.st_mtim.tv_nsec));
        };

        QuickDropView panel(m_services.thumbnails, m_services.iconSetter);
        for (const bool withIcon : { true, false }) {
            panel.setIcon(withIcon ? std::optional(greenIcon()) : std::nullopt);
            QVERIFY(setStamp());
            InotifyWatch watch(folder.path(), IN_ATTRIB);
            QVERIFY(watch.isValid());
            QSignalSpy finished(&panel, &QuickDropView::dropFinished);
            QVERIFY(panel.performDrop(urls));
            QVERIFY(finished.wait(10000));
            QCOMPARE(finished[0][0].toBool(), true);

            QStringList announced = watch.takeNames();
            announced.removeDuplicates();
            announced.sort();
            QCOMPARE(announced, names);
            QVERIFY(modified(names.at(0)) > stamped);
            QCOMPARE(modified(names.at(1)), stamped);
            QCOMPARE(QFileInfo::exists(folder.filePath(u"Photos/.directory"_s)), withIcon);
        }
    }

private:
    static Icon greenIcon()
    {
        QImage picture(48, 48, QImage::Format_ARGB32);
        picture.fill(qRgba(30, 160, 90, 255));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        return Icon { .id = QUuid::createUuid(),
            .containerID = QUuid::createUuid(),
            .name = u"Green"_s,
            .type = IconFileType::image,
            .imageData = png };
    }

    QTemporaryDir m_home;
    QTemporaryDir m_metadataHome;
    QTemporaryDir m_items;
    std::unique_ptr<PrivateSessionBus> m_bus;
};

QTEST_MAIN(TestQuickDropDesktop)
#include "tst_quickdropdesktop.moc"
