// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/iconmimedata.h"
#include "library/icontransfer.h"
#include "library/settings.h"
#include "platform/desktop/giofileiconsetter.h"

#include "platform/files/storedfile.h"

#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"
#include "support/privatesessionbus.h"
#include "support/settingsfixture.h"

#include <QDir>
#include <QMutex>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QUrl>

#include <memory>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Records what the transfer asks for. It reports failure, since the transfer must not care.
class RecordingIconSetter : public FileIconSetter
{
public:
    struct Call
    {
        QString path;
        QSize imageSize; // invalid: no image, the icon is removed
    };

    bool setIcon(const std::optional<QImage> &image, const QString &path) override
    {
        const QMutexLocker lock(&m_mutex);
        m_calls.append({ path, image ? image->size() : QSize() });
        return false;
    }

    QList<Call> calls() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_calls;
    }
    void clear()
    {
        const QMutexLocker lock(&m_mutex);
        m_calls.clear();
    }

private:
    mutable QMutex m_mutex;
    QList<Call> m_calls;
};

QByteArray pngOf(int pixels, std::optional<double> dpi = std::nullopt)
{
    return IcnsBuilder::png(IcnsBuilder::pattern(pixels, pixels), dpi);
}

// 128, 256 and 32 pixels: the largest is neither the first nor the last element.
QByteArray icnsBytes()
{
    return IcnsBuilder().add("ic07", pngOf(128)).add("ic08", pngOf(256)).add("ic11", pngOf(32)).build();
}

Icon iconOf(IconFileType type, std::optional<QByteArray> icnsData, std::optional<QByteArray> imageData,
    const QString &name = u"Rocket"_s)
{
    return Icon { .id = QUuid::createUuid(),
        .containerID = QUuid::createUuid(),
        .name = name,
        .type = type,
        .icnsData = std::move(icnsData),
        .imageData = std::move(imageData) };
}

QString folderOf(const QMimeData &data)
{
    const QList<QUrl> urls = data.urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

} // namespace

class TestIconTransfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A home of its own: the test mode's data folder, where custom-icon pictures go, lies below
        // HOME, and other test programs running beside this one clear theirs.
        QVERIFY(m_home.isValid() && m_settings.isValid() && m_temp.isValid() && m_metadataHome.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(GioFileIconSetter::customIconFolder().startsWith(m_home.path()));
        // Before the first GIO call of the process.
        m_bus = std::make_unique<PrivateSessionBus>(m_metadataHome.path());
        QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->errorString()));
        // Everything the transfer makes lands in this test's own temporary folder.
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        QCOMPARE(QDir::tempPath(), m_temp.path());
        m_root = QDir::tempPath() + u"/glimbar-drag-"_s + QString::number(::getuid());
    }

    void cleanupTestCase()
    {
        QDir(GioFileIconSetter::customIconFolder()).removeRecursively();
        m_bus.reset();
    }

    void init()
    {
        m_settings.clear();
        QDir(m_temp.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_temp.path()));
        m_setter->clear();
    }

    void cleanup()
    {
        // Exports of drags that ended early still run; they must not outlive the fake.
        QThreadPool::globalInstance()->waitForDone();
    }

    void offeredFormats_data()
    {
        QTest::addColumn<QString>("defaultFormat");
        QTest::addColumn<bool>("alternate");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("expected");

        const QString uris = u"text/uri-list"_s, icns = u"image/x-icns"_s, png = u"image/png"_s;
        const QString name = u"application/x-kde-suggestedfilename"_s;
        QTest::newRow("folder, ICNS") << u"folder"_s << false << u"icns"_s << QStringList { uris };
        QTest::newRow("folder, image") << u"folder"_s << false << u"image"_s << QStringList { uris };
        QTest::newRow("folder + alternate, ICNS") << u"folder"_s << true << u"icns"_s << QStringList { icns, name };
        QTest::newRow("folder + alternate, image") << u"folder"_s << true << u"image"_s << QStringList { png, name };
        QTest::newRow("image, ICNS") << u"image"_s << false << u"icns"_s << QStringList { icns, name };
        QTest::newRow("image, image") << u"image"_s << false << u"image"_s << QStringList { png, name };
        QTest::newRow("image + alternate, ICNS") << u"image"_s << true << u"icns"_s << QStringList { uris, icns, name };
        QTest::newRow("image + alternate, image")
            << u"image"_s << true << u"image"_s << QStringList { uris, png, name };
    }

    void offeredFormats()
    {
        QFETCH(QString, defaultFormat);
        QFETCH(bool, alternate);
        QFETCH(QString, type);
        QFETCH(QStringList, expected);

        // Made with the defaults in force: the settings are read again at every question.
        const IconMimeData data(
            iconOf(*fromRawValue<IconFileType>(type), icnsBytes(), pngOf(64)), m_setter, m_settings.settings());
        QCOMPARE(data.formats(), QStringList { u"text/uri-list"_s });
        m_settings.settings().defaultDragAndDropFormat().write(*fromRawValue<DragAndDropIconFormat>(defaultFormat));
        m_settings.settings().alternateDragAndDropFormat().write(alternate);

        QCOMPARE(data.formats(), expected);
        for (const QString &format : { u"text/uri-list"_s, u"image/x-icns"_s, u"image/png"_s })
            QCOMPARE(data.hasFormat(format), expected.contains(format));
        QCOMPARE(data.hasUrls(), expected.contains(u"text/uri-list"_s));
        QVERIFY(data.data(u"image/jpeg"_s).isNull());
    }

    void bytesUnchanged_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<std::optional<QByteArray>>("icnsData");
        QTest::addColumn<std::optional<QByteArray>>("imageData");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("expected");

        const std::optional<QByteArray> none;
        const QByteArray icns = icnsBytes(), png = pngOf(64);
        QTest::newRow("ICNS icon") << u"icns"_s << std::optional(icns) << std::optional(png) << u"image/x-icns"_s
                                   << icns;
        QTest::newRow("ICNS icon with only image data")
            << u"icns"_s << none << std::optional(png) << u"image/x-icns"_s << png;
        QTest::newRow("image icon") << u"image"_s << std::optional(icns) << std::optional(png) << u"image/png"_s << png;
        // Nothing is offered rather than empty data, which a receiver would write as an empty file.
        QTest::newRow("ICNS icon without data") << u"icns"_s << none << none << u"image/x-icns"_s << QByteArray();
        QTest::newRow("image icon with only ICNS data")
            << u"image"_s << std::optional(icns) << none << u"image/png"_s << QByteArray();
        QTest::newRow("image icon with empty data")
            << u"image"_s << none << std::optional(QByteArray()) << u"image/png"_s << QByteArray();
        QTest::newRow("bytes that are no image") << u"icns"_s << std::optional(QByteArray("icns junk")) << none
                                                 << u"image/x-icns"_s << QByteArray("icns junk");
    }

    void bytesUnchanged()
    {
        QFETCH(QString, type);
        QFETCH(std::optional<QByteArray>, icnsData);
        QFETCH(std::optional<QByteArray>, imageData);
        QFETCH(QString, format);
        QFETCH(QByteArray, expected);

        m_settings.settings().defaultDragAndDropFormat().write(DragAndDropIconFormat::image);
        const IconMimeData data(
            iconOf(*fromRawValue<IconFileType>(type), icnsData, imageData), m_setter, m_settings.settings());
        QCOMPARE(data.data(format), expected);
        if (expected.isEmpty()) {
            QVERIFY(data.data(format).isNull());
            QCOMPARE(data.formats(), QStringList());
        } else {
            QVERIFY(data.hasFormat(format));
            QCOMPARE(data.data(u"application/x-kde-suggestedfilename"_s), "Rocket");
        }
        QVERIFY(m_setter->calls().isEmpty());
    }

    void folderCarriesIcon_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<std::optional<QByteArray>>("icnsData");
        QTest::addColumn<std::optional<QByteArray>>("imageData");
        QTest::addColumn<QSize>("imageSize");

        const std::optional<QByteArray> none;
        QTest::newRow("ICNS icon: its largest element")
            << u"icns"_s << std::optional(icnsBytes()) << none << QSize(256, 256);
        QTest::newRow("ICNS icon with only image data")
            << u"icns"_s << none << std::optional(pngOf(64)) << QSize(64, 64);
        QTest::newRow("image icon: pixels, not points")
            << u"image"_s << none << std::optional(pngOf(64, 144.0)) << QSize(64, 64);
        QTest::newRow("no image: icon removed") << u"image"_s << none << std::optional(QByteArray("PNG?")) << QSize();
    }

    void folderCarriesIcon()
    {
        QFETCH(QString, type);
        QFETCH(std::optional<QByteArray>, icnsData);
        QFETCH(std::optional<QByteArray>, imageData);
        QFETCH(QSize, imageSize);

        const IconMimeData data(
            iconOf(*fromRawValue<IconFileType>(type), icnsData, imageData), m_setter, m_settings.settings());
        const QString folder = folderOf(data);
        QCOMPARE(folder, m_root + u"/Rocket"_s);
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(data.data(u"text/uri-list"_s), QUrl::fromLocalFile(folder).toEncoded() + "\r\n");
        const QList<RecordingIconSetter::Call> calls = m_setter->calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls.first().path, folder);
        QCOMPARE(calls.first().imageSize, imageSize);
    }

    void folderReusedOnSecondDrag()
    {
        const Icon icon = iconOf(IconFileType::icns, icnsBytes(), std::nullopt);
        QString folder;
        {
            const IconMimeData first(icon, m_setter, m_settings.settings());
            folder = folderOf(first);
            QVERIFY(!folder.isEmpty());
            QFile marker(folder + u"/marker"_s);
            QVERIFY(marker.open(QIODevice::WriteOnly));
            // A receiver that asks again gets the same folder without a second export.
            QCOMPARE(folderOf(first), folder);
            QCOMPARE(m_setter->calls().size(), 1);
        }
        const IconMimeData second(icon, m_setter, m_settings.settings());
        QCOMPARE(folderOf(second), folder);
        QVERIFY2(QFileInfo::exists(folder + u"/marker"_s), "the folder is reused unchanged");
        const QList<RecordingIconSetter::Call> calls = m_setter->calls();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls.last().path, folder);
        QCOMPARE(calls.last().imageSize, QSize(256, 256));
    }

    void unsafeNameStaysInside_data()
    {
        QTest::addColumn<QString>("name");

        QTest::newRow("slash") << u"Space/Rocket"_s;
        QTest::newRow("parent steps") << u"../../escaped"_s;
        QTest::newRow("absolute") << u"/escaped"_s;
        QTest::newRow("dot") << u"."_s;
        QTest::newRow("dot dot") << u".."_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("too long") << QString(300, u'x');
    }

    void unsafeNameStaysInside()
    {
        QFETCH(QString, name);

        const IconMimeData data(
            iconOf(IconFileType::icns, icnsBytes(), std::nullopt, name), m_setter, m_settings.settings());
        const QString folder = folderOf(data);
        QVERIFY(!folder.isEmpty());
        const QFileInfo info(folder);
        QVERIFY(info.isDir());
        QCOMPARE(info.canonicalFilePath(), folder);
        QCOMPARE(info.path(), m_root);
        // The folder, and the record of the name it was made for.
        QCOMPARE(QDir(m_root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList({ u".names"_s, info.fileName() }));
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList { QFileInfo(m_root).fileName() });
        QCOMPARE(m_setter->calls().size(), 1);
    }

    // Only the same name finds its folder again; names made safe alike, or a file in the way, get
    // folders of their own.
    void namesNeverShareAFolder()
    {
        QVERIFY(QDir().mkpath(m_root));
        QFile obstacle(m_root + u"/Rocket"_s);
        QVERIFY(obstacle.open(QIODevice::WriteOnly));
        obstacle.close();
        const auto folderFor = [this](const QString &name) {
            return folderOf(IconMimeData(
                iconOf(IconFileType::icns, icnsBytes(), std::nullopt, name), m_setter, m_settings.settings()));
        };
        const QString dot = folderFor(u"."_s);
        const QString empty = folderFor(QString());
        const QString underscore = folderFor(u"_"_s);
        const QString rocket = folderFor(u"Rocket"_s);
        QCOMPARE(QStringList({ dot, empty, underscore, rocket }),
            QStringList({ m_root + u"/_"_s, m_root + u"/_ 2"_s, m_root + u"/_ 3"_s, m_root + u"/Rocket 2"_s }));
        QCOMPARE(folderFor(QString()), empty);
        QCOMPARE(folderFor(u"."_s), dot);
        QVERIFY(QFileInfo(m_root + u"/Rocket"_s).isFile());
    }

    void folderNotMade_data()
    {
        QTest::addColumn<QString>("obstacle");

        QTest::newRow("our folder is a file") << u"root is a file"_s;
        QTest::newRow("our folder is a link planted elsewhere") << u"root is a link"_s;
        QTest::newRow("the icon has no data") << u"no data"_s;
        QTest::newRow("the icon's file vanished since the load") << u"file vanished"_s;
    }

    void folderNotMade()
    {
        QFETCH(QString, obstacle);

        const QString elsewhere = m_temp.filePath(u"elsewhere"_s);
        QVERIFY(QDir().mkpath(elsewhere));
        Icon icon = iconOf(IconFileType::icns, icnsBytes(), std::nullopt);
        if (obstacle == u"root is a file"_s) {
            QFile file(m_root);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (obstacle == u"root is a link"_s) {
            QVERIFY(QFile::link(elsewhere, m_root));
        } else if (obstacle == u"no data"_s) {
            icon = iconOf(IconFileType::icns, std::nullopt, std::nullopt);
        } else {
            const QString file = elsewhere + u"/Rocket.icns"_s;
            QVERIFY(LibraryFixture::writeFile(file, icnsBytes()));
            const auto found = StoredFile::find(QFile::encodeName(file), file, 1 << 20, 0, nullptr, nullptr);
            QVERIFY(found);
            icon.icnsData = IconData(found->file, PlatformImage());
            QVERIFY(QFile::remove(file));
        }

        const IconMimeData data(icon, m_setter, m_settings.settings());
        QVERIFY(data.data(u"text/uri-list"_s).isEmpty());
        QVERIFY(data.urls().isEmpty());
        QVERIFY2(!data.formats().contains(u"text/uri-list"_s), "a folder that was not made is not offered");
        QVERIFY(m_setter->calls().isEmpty());
        QVERIFY(QDir(elsewhere).isEmpty());
        QVERIFY(!QFileInfo::exists(m_root + u"/Rocket"_s));
        if (obstacle == u"file vanished"_s) {
            // Nor is its data, once the read has told.
            m_settings.settings().alternateDragAndDropFormat().write(true);
            QVERIFY(data.data(u"image/x-icns"_s).isNull());
            QCOMPARE(data.formats(), QStringList());
        }
    }

    void folderRootIsPrivate()
    {
        QVERIFY(QDir().mkpath(m_root));
        QVERIFY(QFile::setPermissions(m_root, QFile::permissions(m_root) | QFile::ReadOther | QFile::ExeOther));
        QCOMPARE(IconTransfer::dragFolderRoot(), m_root);
        struct stat info
        {
        };
        QCOMPARE(::stat(QFile::encodeName(m_root).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0700u);
    }

    // The folder as a file manager sees it, through the desktop's real metadata store.
    void folderCarriesIconInMetadata()
    {
        const auto desktop = std::make_shared<GioFileIconSetter>();
        const QString folder = [&] {
            const IconMimeData data(
                iconOf(IconFileType::icns, icnsBytes(), std::nullopt), desktop, m_settings.settings());
            return folderOf(data);
        }();
        QVERIFY(!folder.isEmpty());
        const QString picture = customIconSeenByGio(folder);
        QVERIFY(picture.startsWith(GioFileIconSetter::customIconFolder()));
        QCOMPARE(QImage(picture).size(), QSize(256, 256));

        // Dragged again without data: no folder is offered, and the one made before is left as it is.
        const IconMimeData again(
            iconOf(IconFileType::icns, std::nullopt, std::nullopt), desktop, m_settings.settings());
        QVERIFY(folderOf(again).isEmpty());
        QCOMPARE(customIconSeenByGio(folder), picture);
    }

private:
    QTemporaryDir m_home;
    SettingsFixture m_settings;
    QTemporaryDir m_temp;
    QTemporaryDir m_metadataHome;
    std::unique_ptr<PrivateSessionBus> m_bus;
    std::shared_ptr<RecordingIconSetter> m_setter = std::make_shared<RecordingIconSetter>();
    QString m_root;
};

QTEST_GUILESS_MAIN(TestIconTransfer)
#include "tst_icontransfer.moc"
