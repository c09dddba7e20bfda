// SPDX-License-Identifier: GPL-3.0-or-later
// The library's icons hold their files, not their bytes: a load must give what reading every byte
// gave, and an icon whose file changed since must never hand out other bytes.
#include "library/libraryreader.h"
#include "library/librarywriter.h"
#include "model/containererror.h"
#include "model/containerjson.h"
#include "platform/images/imagerep.h"

#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"
#include "support/standardoutputcapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QByteArray infoJson(const QString &title, const QList<Icon> &entries)
{
    IconContainer container { .title = title, .authorName = u"Ann"_s };
    container.icons = entries;
    return encodeContainerJson(container).value();
}

Icon entry(const QString &fileName, const QString &author)
{
    Icon icon;
    icon.name = fileName.left(fileName.lastIndexOf(u'.'));
    icon.filename = fileName;
    icon.author = author;
    return icon;
}

// Pixels that do not compress, so the picture is large.
QImage noise(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = random.generate() | 0xff000000u;
    }
    return image;
}

quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= uchar(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG whose pHYs chunk (144 dpi) lies behind a large text chunk, far past the first bytes.
QByteArray pngWithLateDensity()
{
    const QByteArray plain = IcnsBuilder::png(IcnsBuilder::pattern(64, 64));
    const auto chunk = [](QByteArrayView type, const QByteArray &body) {
        QByteArray bytes(4, '\0');
        qToBigEndian<quint32>(quint32(body.size()), bytes.data());
        bytes += type.toByteArray() + body;
        QByteArray crc(4, '\0');
        qToBigEndian<quint32>(crc32(bytes.mid(4)), crc.data());
        return bytes + crc;
    };
    QByteArray density(9, '\0');
    qToBigEndian<quint32>(5669, density.data()); // 144 dpi
    qToBigEndian<quint32>(5669, density.data() + 4);
    density[8] = 1;
    const qsizetype afterHeader = 8 + 25; // signature, IHDR
    return plain.left(afterHeader) + chunk("tEXt", "Comment\0"_ba + QByteArray(40000, 'x')) + chunk("pHYs", density)
        + plain.mid(afterHeader);
}

// An ICNS whose small element lies behind a large one, past the first bytes a load reads.
QByteArray icnsWithLateElement()
{
    return IcnsBuilder()
        .add("ic08", IcnsBuilder::png(noise(256)))
        .add("is32", IcnsBuilder::rle24(IcnsBuilder::pattern(16, 16)))
        .add("s8mk", IcnsBuilder::mask(IcnsBuilder::pattern(16, 16)))
        .add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(128, 128)))
        .build();
}

QByteArray smallIcns()
{
    return IcnsBuilder().add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(32, 32))).build();
}

QByteArray smallPng()
{
    return IcnsBuilder::png(IcnsBuilder::pattern(32, 32, Qt::red));
}

// The picture a view draws of `image` on a 2x screen.
QImage drawnAt2x(const PlatformImage &image)
{
    return PlatformImage::fittedBitmap(image.drawingRepresentations(), qRound(image.size().width() * 2));
}

// What the views, the drag and a save can see of an icon, pixels included.
QString describe(const Icon &icon)
{
    QStringList previews;
    for (const IconPreviewRep &preview : icon.previewReps()) {
        const QImage pixels = drawnAt2x(preview.image);
        previews << u"%1:%2x%3:%4"_s.arg(int(preview.size))
                        .arg(preview.image.size().width())
                        .arg(preview.image.size().height())
                        .arg(pixels.isNull() ? 0 : qHashBits(pixels.constBits(), size_t(pixels.sizeInBytes())));
    }
    return QStringList { icon.name, QString::number(int(icon.type)), icon.filename.value_or(u"-"_s), icon.author,
        QString::number(bool(icon.icnsData)) + QString::number(bool(icon.imageData)),
        QString::fromLatin1(icon.primaryData().toHex().left(64)) + u'/' + QString::number(icon.primaryData().size()),
        previews.join(u' ') }
        .join(u'|');
}

QStringList describe(const QList<IconContainer> &containers)
{
    QStringList lines;
    for (const IconContainer &container : containers) {
        lines << container.title + u'@' + container.folderName;
        for (const Icon &icon : container.icons)
            lines << describe(icon);
    }
    return lines;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    return LibraryFixture::writeFile(path, bytes);
}

} // namespace

class TestStoredIcons : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QString library() const { return m_folder.path() + u"/Library"_s; }
    QString folder(const QString &name) const { return library() + u'/' + name; }

    // The containers, as a load that read every byte read them; the lines it printed in `lines`.
    QList<IconContainer> readEveryByte(QStringList &lines) const
    {
        StandardOutputCapture output;
        QList<IconContainer> containers;
        const QStringList names = QDir(library()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &name : names) {
            const auto info = LibraryReader::readContainerInfo(folder(name));
            if (!info)
                continue;
            containers << LibraryReader::readIcons(*info, folder(name), [](const IconLookup &) {});
            containers.last().folderName = name;
        }
        lines = output.takeLines();
        return containers;
    }

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        QDir(library()).removeRecursively();
        QVERIFY(QDir().mkpath(library()));
    }

    void loadGivesWhatReadingEveryByteGave_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("mixed kinds") << u"mixed"_s;
        QTest::newRow("headers past the first bytes") << u"late"_s;
        QTest::newRow("damaged files") << u"damaged"_s;
        QTest::newRow("composed and decomposed names") << u"nfd"_s;
        QTest::newRow("an over-large file ends the scan") << u"large"_s;
        QTest::newRow("pipes and links are passed over") << u"special"_s;
    }

    void loadGivesWhatReadingEveryByteGave()
    {
        QFETCH(QString, kind);
        const QString solar = folder(u"Solar.ravivovode"_s);
        QList<Icon> entries { entry(u"b.png"_s, u"Bo"_s), entry(u"a.icns"_s, u"Al"_s) };
        QVERIFY(writeFile(solar + u"/a.icns"_s, smallIcns()));
        QVERIFY(writeFile(solar + u"/b.png"_s, smallPng()));
        QVERIFY(writeFile(solar + u"/c.png"_s, smallPng()));
        QVERIFY(writeFile(solar + u"/notes.jpg"_s, "not an icon"_ba));
        if (kind == u"late") {
            QVERIFY(writeFile(solar + u"/big.icns"_s, icnsWithLateElement()));
            QVERIFY(writeFile(solar + u"/dense.png"_s, pngWithLateDensity()));
        } else if (kind == u"damaged") {
            const QByteArray icns = icnsWithLateElement();
            QVERIFY(writeFile(solar + u"/cut.icns"_s, icns.left(icns.size() - 100)));
            QVERIFY(writeFile(solar + u"/cut.png"_s, smallPng().left(60)));
            QVERIFY(writeFile(solar + u"/text.png"_s, "plain text"_ba));
            QVERIFY(writeFile(solar + u"/empty.icns"_s, QByteArray()));
            QVERIFY(writeFile(solar + u"/swapped.png"_s, smallIcns()));
        } else if (kind == u"nfd") {
            const QString composed = u"\u00e9t\u00e9.png"_s;
            const QString decomposed = composed.normalized(QString::NormalizationForm_D);
            QVERIFY(writeFile(solar + u'/' + decomposed, smallPng()));
            entries << entry(composed, u"Ed"_s);
            QVERIFY(writeFile(folder(u"Caf\u00e9.ravivovode"_s).normalized(QString::NormalizationForm_D) + u"/x.icns"_s,
                smallIcns()));
            QVERIFY(
                writeFile(folder(u"Caf\u00e9.ravivovode"_s).normalized(QString::NormalizationForm_D) + u"/info.json"_s,
                    infoJson(u"Caf\u00e9"_s, {})));
        } else if (kind == u"large") {
            QFile huge(solar + u"/bb.png"_s);
            QVERIFY(huge.open(QIODevice::WriteOnly));
            QVERIFY(huge.resize(LibraryReader::maxIconFileBytes + 1)); // sparse: costs no disk space
        } else if (kind == u"special") {
            QVERIFY(::mkfifo(QFile::encodeName(solar + u"/bb.png"_s).constData(), 0600) == 0);
            QVERIFY(::symlink("a.icns", QFile::encodeName(solar + u"/link.icns"_s).constData()) == 0);
        }
        QVERIFY(writeFile(solar + u"/info.json"_s, infoJson(u"Solar"_s, entries)));

        QStringList everyByteLines;
        const QStringList expected = describe(readEveryByte(everyByteLines));

        StandardOutputCapture output;
        const auto loaded = LibraryReader::readLibrary(library(), [](const IconLookup &) {});
        const QStringList lines = output.takeLines();
        QVERIFY(loaded);
        QCOMPARE(describe(*loaded), expected);
        QCOMPARE(lines, everyByteLines);
        // The loaded icons hold their files.
        for (const Icon &icon : loaded->constFirst().icons)
            QVERIFY((icon.type == IconFileType::icns ? icon.icnsData : icon.imageData).isStored());
    }

    void parallelLoadGivesWhatASerialLoadGave_data()
    {
        QTest::addColumn<int>("containers");
        QTest::addColumn<bool>("failures");
        QTest::newRow("one folder") << 1 << false;
        QTest::newRow("many good folders") << 40 << false;
        QTest::newRow("failures in many folders") << 40 << true;
    }

    // Folders are read at once on several threads: what each yields, and the lines each prints,
    // still come in name order, as when one thread reads them one after another.
    void parallelLoadGivesWhatASerialLoadGave()
    {
        QFETCH(int, containers);
        QFETCH(bool, failures);
        for (int i = 0; i < containers; ++i) {
            const QString name = u"C%1"_s.arg(i, 2, 10, QChar(u'0'));
            const QString path = folder(name + u".ravivovode"_s);
            QVERIFY(writeFile(path + u"/a.icns"_s, smallIcns()));
            QVERIFY(writeFile(path + u"/z.png"_s, smallPng()));
            QByteArray info = infoJson(name, { entry(u"z.png"_s, name), entry(u"a.icns"_s, u"Al"_s) });
            switch (failures ? i % 5 : 0) {
            case 1:
                info.clear();
                break;
            case 2:
                info = "{"_ba;
                break;
            case 3: {
                QFile huge(path + u"/m.png"_s);
                QVERIFY(huge.open(QIODevice::WriteOnly));
                QVERIFY(huge.resize(LibraryReader::maxIconFileBytes + 1)); // sparse: costs no disk space
                break;
            }
            case 4:
                QVERIFY(writeFile(path + u"/m.icns"_s, icnsWithLateElement().left(300)));
                break;
            }
            if (!info.isEmpty())
                QVERIFY(writeFile(path + u"/info.json"_s, info));
        }

        StandardOutputCapture output;
        const auto serial = LibraryReader::readLibrary(
            library(), [](const IconLookup &) {}, 1);
        const QStringList serialLines = output.takeLines();
        QVERIFY(serial);
        QList<IconLookup> lookups;
        const auto loaded
            = LibraryReader::readLibrary(library(), [&lookups](const IconLookup &lookup) { lookups << lookup; });
        QVERIFY(loaded);
        QCOMPARE(output.takeLines(), serialLines);
        QCOMPARE(describe(*loaded), describe(*serial));
        // Every icon is looked up once, container after container.
        QList<QUuid> containersLookedUp, expectedContainers;
        QSet<QUuid> iconsLookedUp, expectedIcons;
        for (const IconLookup &lookup : std::as_const(lookups)) {
            containersLookedUp << lookup.containerID;
            iconsLookedUp << lookup.id;
        }
        for (const IconContainer &container : *loaded) {
            for (const Icon &icon : container.icons) {
                expectedContainers << container.id;
                expectedIcons << icon.id;
            }
        }
        QCOMPARE(containersLookedUp, expectedContainers);
        QCOMPARE(iconsLookedUp, expectedIcons);
        QCOMPARE(lookups.size(), expectedIcons.size());
    }

    void changedFilesGiveNoBytes_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("readable");
        QTest::newRow("unchanged") << u"none"_s << true;
        QTest::newRow("truncated") << u"truncate"_s << false;
        QTest::newRow("replaced by a save") << u"replace"_s << false;
        QTest::newRow("deleted") << u"delete"_s << false;
        QTest::newRow("changed in place") << u"rewrite"_s << false;
        QTest::newRow("changed in place, time stamp put back") << u"rewrite and touch -r"_s << false;
        QTest::newRow("grown") << u"append"_s << false;
    }

    // Between the load and the use of an icon, its file changes: the icon's picture, its bytes and
    // a save of its container must not take the new file's bytes for the icon's.
    void changedFilesGiveNoBytes()
    {
        QFETCH(QString, change);
        QFETCH(bool, readable);
        const QString solar = folder(u"Solar.ravivovode"_s);
        const QByteArray star = icnsWithLateElement();
        QVERIFY(writeFile(solar + u"/info.json"_s, infoJson(u"Solar"_s, {})));
        QVERIFY(writeFile(solar + u"/Star.icns"_s, star));
        QVERIFY(writeFile(solar + u"/Moon.png"_s, smallPng()));
        const auto loaded = LibraryReader::readLibrary(library(), [](const IconLookup &) {});
        QVERIFY(loaded && loaded->size() == 1 && loaded->first().icons.size() == 2);
        const IconContainer &container = loaded->first();
        const Icon &icon = container.icons.at(1);
        QCOMPARE(icon.name, u"Star"_s);

        const QString path = solar + u"/Star.icns"_s;
        const QByteArray native = QFile::encodeName(path);
        QByteArray other = star;
        other[other.size() - 20] = char(~other[other.size() - 20]);
        if (change == u"truncate") {
            QVERIFY(::truncate(native.constData(), 1000) == 0);
        } else if (change == u"replace") {
            // Same size and bytes but one, written beside and renamed over, as our saves do.
            QVERIFY(writeFile(path + u".new"_s, other));
            QVERIFY(::rename(QFile::encodeName(path + u".new"_s).constData(), native.constData()) == 0);
        } else if (change == u"delete") {
            QVERIFY(QFile::remove(path));
        } else if (change == u"rewrite") {
            // Same inode and size; the time stamp says it changed.
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QCOMPARE(file.write(other), other.size());
            file.close();
            const timespec times[2] = { { 0, UTIME_OMIT }, { 1000000, 5 } };
            QVERIFY(::utimensat(AT_FDCWD, native.constData(), times, 0) == 0);
        } else if (change == u"rewrite and touch -r") {
            // As `rsync -t --inplace` leaves it: same inode, size and modification time. Only the
            // change time, which no program can set, tells.
            const QString stamp = m_folder.filePath(u"stamp"_s);
            QVERIFY(writeFile(stamp, {}));
            QCOMPARE(QProcess::execute(u"touch"_s, { u"-r"_s, path, stamp }), 0);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QCOMPARE(file.write(other), other.size());
            file.close();
            QCOMPARE(QProcess::execute(u"touch"_s, { u"-r"_s, stamp, path }), 0);
            QCOMPARE(QFileInfo(path).lastModified(), QFileInfo(stamp).lastModified());
        } else if (change == u"append") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            QVERIFY(file.write("tail") == 4);
        }

        // The picture: its headers were read at load; its pixels come from the file now.
        const QImage pixels = drawnAt2x(icon.dataImage());
        QCOMPARE(!pixels.isNull(), readable);
        // The bytes a drag or an export hands over.
        QCOMPARE(icon.primaryData(), readable ? star : QByteArray());
        QCOMPARE(bool(icon.icnsData.read()), readable);

        // A save of the container into its own folder (a merge of the same title) reads the bytes
        // again; one that cannot fails as an icon without data and leaves the folder as it was.
        const QStringList before = LibraryFixture::tree(library());
        StandardOutputCapture output;
        bool stale = true;
        const auto saved = LibraryWriter::saveContainer(container, library(), &stale);
        if (readable) {
            QVERIFY(saved);
            QVERIFY(!stale);
            QCOMPARE(LibraryFixture::readFile(path), star);
        } else {
            QVERIFY(!saved);
            QCOMPARE(saved.error(), ContainerError::missingIconData);
            // Which file, and why, before the description that alone would blame the icon.
            QVERIFY(stale);
            const QStringList lines = output.takeLines();
            QCOMPARE(lines.size(), 2);
            QVERIFY2(lines.at(0).startsWith(u"The file “Star.icns” couldn’t be read: "_s), qPrintable(lines.at(0)));
            if (change != u"delete")
                QVERIFY2(lines.at(0).endsWith(u"it has changed since the library was read"_s), qPrintable(lines.at(0)));
            QCOMPARE(lines.at(1), errorDescription(ContainerError::missingIconData));
            QCOMPARE(LibraryFixture::tree(library()), before);
        }
    }

    // Views decode and drags read on threads of their own, all from the same icons at once.
    void readsFromManyThreadsAtOnce()
    {
        const QString solar = folder(u"Solar.ravivovode"_s);
        QVERIFY(writeFile(solar + u"/info.json"_s, infoJson(u"Solar"_s, {})));
        for (int i = 0; i < 8; ++i)
            QVERIFY(writeFile(solar + u"/Star %1.icns"_s.arg(i), icnsWithLateElement()));
        const auto loaded = LibraryReader::readLibrary(library(), [](const IconLookup &) {});
        QVERIFY(loaded && loaded->size() == 1);
        const QList<Icon> icons = loaded->first().icons;
        const QByteArray expected = icnsWithLateElement();
        std::atomic<int> good { 0 };
        std::vector<std::thread> threads;
        for (int thread = 0; thread < 8; ++thread) {
            threads.emplace_back([&icons, &expected, &good] {
                for (const Icon &icon : icons) {
                    if (icon.primaryData() == expected && !drawnAt2x(icon.dataImage()).isNull())
                        ++good;
                }
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(good.load(), 8 * int(icons.size()));
    }

    // The moon was read and kept before its file went: a cached read stays the icon's own bytes.
    void bytesReadBeforeAChangeStayTheIcons()
    {
        const QString solar = folder(u"Solar.ravivovode"_s);
        QVERIFY(writeFile(solar + u"/info.json"_s, infoJson(u"Solar"_s, {})));
        QVERIFY(writeFile(solar + u"/Moon.png"_s, smallPng()));
        const auto loaded = LibraryReader::readLibrary(library(), [](const IconLookup &) {});
        QVERIFY(loaded && loaded->size() == 1 && loaded->first().icons.size() == 1);
        const Icon moon = loaded->first().icons.first();
        QCOMPARE(moon.primaryData(), smallPng());
        QVERIFY(QFile::remove(solar + u"/Moon.png"_s));
        QCOMPARE(moon.primaryData(), smallPng());
    }
};

QTEST_GUILESS_MAIN(TestStoredIcons)
#include "tst_storedicons.moc"
