// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/giofileiconsetter.h"

#include "support/privatesessionbus.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

QImage filledImage(QRgb color)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

qsizetype storedPictureCount()
{
    return QDir(GioFileIconSetter::customIconFolder()).entryList(QDir::Files).size();
}

} // namespace

class TestFileIconSetter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A home of its own: the test mode's data folder, where the pictures go, lies below HOME,
        // and other test programs running beside this one clear theirs.
        QVERIFY(m_home.isValid() && m_metadataHome.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(GioFileIconSetter::customIconFolder().startsWith(m_home.path()));
        m_bus = std::make_unique<PrivateSessionBus>(m_metadataHome.path());
        QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->errorString()));
        QDir(GioFileIconSetter::customIconFolder()).removeRecursively();
    }

    void cleanupTestCase()
    {
        QDir(GioFileIconSetter::customIconFolder()).removeRecursively();
        m_bus.reset();
    }

    void setsAndRemovesIcon_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");

        QTest::newRow("file") << u"document.txt"_s << false;
        QTest::newRow("folder") << u"Folder"_s << true;
        QTest::newRow("name that needs escaping") << u"caf\u00e9 #1 100%.txt"_s << false;
    }

    void setsAndRemovesIcon()
    {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (folder) {
            QVERIFY(QDir().mkdir(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        const QImage image = filledImage(qRgba(200, 40, 10, 255));
        GioFileIconSetter setter;
        QVERIFY(setter.setIcon(image, path));
        const QString picture = customIconSeenByGio(path);
        QVERIFY(picture.startsWith(GioFileIconSetter::customIconFolder() + u'/'));
        QVERIFY(picture.endsWith(".png"_L1));
        QCOMPARE(QImage(picture).convertToFormat(QImage::Format_ARGB32), image);
        // A folder also carries the picture inside, named by its ".directory"; a file does not.
        const QStringList inside = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (folder) {
            QCOMPARE(inside.size(), 2);
            QVERIFY(inside.contains(u".directory"_s));
            const QString own = inside.at(inside.indexOf(u".directory"_s) == 0 ? 1 : 0);
            QCOMPARE(QImage(path + u'/' + own).convertToFormat(QImage::Format_ARGB32), image);
            QSettings directory(path + u"/.directory"_s, QSettings::IniFormat);
            QCOMPARE(directory.value(u"Desktop Entry/Icon"_s).toString(), u"./"_s + own);
        }

        QVERIFY(setter.setIcon(std::nullopt, path));
        QCOMPARE(customIconSeenByGio(path), QString());
        QVERIFY2(QFileInfo::exists(picture), "other items may still show it");
        if (folder)
            QVERIFY(QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

        // Removing an icon that is not there is no failure.
        QVERIFY(setter.setIcon(std::nullopt, path));
    }

    void sameImageStoredOnce()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(u"first"_s);
        const QString second = dir.filePath(u"second"_s);
        QVERIFY(QDir().mkdir(first) && QDir().mkdir(second));
        GioFileIconSetter setter;
        const qsizetype before = storedPictureCount();

        const QImage image = filledImage(qRgba(10, 120, 250, 255));
        QVERIFY(setter.setIcon(image, first));
        QVERIFY(setter.setIcon(image, second));
        QVERIFY(setter.setIcon(image, first));
        QCOMPARE(customIconSeenByGio(first), customIconSeenByGio(second));
        QCOMPARE(storedPictureCount(), before + 1);

        QVERIFY(setter.setIcon(filledImage(qRgba(10, 120, 250, 128)), second));
        QVERIFY(customIconSeenByGio(first) != customIconSeenByGio(second));
        QCOMPARE(storedPictureCount(), before + 2);
    }

    // A picture found under its hash is checked before it is trusted: one left empty or cut short
    // (a crash, an older version on a full disk) is written again.
    void damagedPictureIsReplaced_data()
    {
        QTest::addColumn<int>("keptBytes");
        QTest::newRow("empty") << 0;
        QTest::newRow("cut short") << 10;
    }

    void damagedPictureIsReplaced()
    {
        QFETCH(int, keptBytes);
        QTemporaryDir dir;
        const QImage image = filledImage(qRgba(30, 60, 90, qAlpha(0xff) - keptBytes));
        GioFileIconSetter setter;
        QVERIFY(setter.setIcon(image, dir.path()));
        const QString picture = customIconSeenByGio(dir.path());
        QVERIFY(picture.startsWith(GioFileIconSetter::customIconFolder() + u'/'));
        QFile file(picture);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();
        file.close();
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(whole.left(keptBytes));
        file.close();

        QVERIFY(setter.setIcon(image, dir.path()));
        QCOMPARE(customIconSeenByGio(dir.path()), picture);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), whole);
    }

    void failsWithoutItemOrPicture()
    {
        QTemporaryDir dir;
        GioFileIconSetter setter;
        const qsizetype before = storedPictureCount();
        const QImage image = filledImage(qRgba(1, 2, 3, 255));

        QVERIFY(!setter.setIcon(image, dir.filePath(u"missing"_s)));
        QVERIFY(!setter.setIcon(std::nullopt, dir.filePath(u"missing"_s)));
        QVERIFY(!setter.setIcon(image, QString()));
        QCOMPARE(storedPictureCount(), before);

        QVERIFY(!setter.setIcon(QImage(), dir.path()));
        QCOMPARE(customIconSeenByGio(dir.path()), QString());
    }

    void worksFromWorkerThreads()
    {
        QTemporaryDir dir;
        constexpr int count = 8;
        std::vector<std::unique_ptr<QThread>> threads;
        QAtomicInt succeeded;
        GioFileIconSetter setter;
        for (int i = 0; i < count; ++i) {
            const QString path = dir.filePath(QString::number(i));
            QVERIFY(QDir().mkdir(path));
            // Half the threads share one picture, so they also race to store it.
            const QImage image = filledImage(i % 2 ? qRgba(9, 9, 9, 255) : qRgba(i, 0, 0, 255));
            threads.emplace_back(QThread::create([path, image, &succeeded, &setter] {
                if (setter.setIcon(image, path))
                    succeeded.ref();
            }));
        }
        for (auto &thread : threads)
            thread->start();
        for (auto &thread : threads)
            QVERIFY(thread->wait(30000));
        QCOMPARE(succeeded.loadRelaxed(), count);
        for (int i = 0; i < count; ++i)
            QVERIFY(customIconSeenByGio(dir.filePath(QString::number(i)))
                        .startsWith(GioFileIconSetter::customIconFolder()));
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_metadataHome;
    std::unique_ptr<PrivateSessionBus> m_bus;
};

QTEST_GUILESS_MAIN(TestFileIconSetter)
#include "tst_fileiconsetter.moc"
