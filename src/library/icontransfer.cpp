// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/icontransfer.h"

#include "library/settings.h"
#include "platform/desktop/fileiconsetter.h"
#include "platform/files/nativefiles.h"
#include "platform/files/safefilename.h"
#include "platform/files/safewrite.h"
#include "platform/images/platformimage.h"
#include "platform/text/logging.h"

#include <QCryptographicHash>

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace IconTransfer {

namespace {

// The folder goes with D = folder unless the alternate format is held, and with D = image only
// while it is held; the data goes with D = image, and with D = folder while the alternate is held.
bool offersFolder(DragAndDropIconFormat format, bool alternate)
{
    return (format == DragAndDropIconFormat::folder) != alternate;
}

bool offersData(DragAndDropIconFormat format, bool alternate)
{
    return format == DragAndDropIconFormat::image || alternate;
}

// The folder that carries the icon named `name` in `root`: its name made safe, and a numbered
// variant ("Rocket 2") when that is taken by anything but the folder of this very name. Which name
// a folder was made for is recorded in root/.names, under the hash of the folder's name, since two
// names can be made safe alike ("." and "" both give "_").
std::optional<QString> folderFor(const QString &root, const QString &name)
{
    constexpr int maxNumber = 1000;
    const QString records = root + u"/.names"_s;
    if (::mkdir(QFile::encodeName(records).constData(), 0700) != 0 && errno != EEXIST) {
        qCWarning(lcIconTransfer) << "cannot make" << records << std::strerror(errno);
        return std::nullopt;
    }
    const QByteArray wanted = name.toUtf8();
    const QString safe = safeFileName(name);
    for (int number = 1; number <= maxNumber; ++number) {
        const QString candidate = number == 1 ? safe : fitFileName(safe, u' ' + QString::number(number));
        const QString folder = root + u'/' + candidate;
        const QString record = records + u'/'
            + QString::fromLatin1(QCryptographicHash::hash(candidate.toUtf8(), QCryptographicHash::Sha256).toHex());
        const QByteArray path = QFile::encodeName(folder);
        if (::mkdir(path.constData(), 0755) == 0) {
            QString reason;
            if (!writeFileAtomically(record, wanted, &reason)) {
                qCWarning(lcIconTransfer) << "cannot record" << folder << reason;
                ::rmdir(path.constData());
                return std::nullopt;
            }
            return folder;
        }
        if (errno != EEXIST) {
            qCWarning(lcIconTransfer) << "cannot make" << folder << std::strerror(errno);
            return std::nullopt;
        }
        struct stat info
        {
        };
        if (::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode)
            && readRegularFile(QFile::encodeName(record), candidate, wanted.size(), nullptr) == wanted)
            return folder;
    }
    qCWarning(lcIconTransfer) << "no free folder name for" << safe;
    return std::nullopt;
}

} // namespace

QStringList transferRepresentation(const Icon &icon, const Settings &settings)
{
    const DragAndDropIconFormat format = settings.defaultDragAndDropFormat().read();
    const bool alternate = settings.alternateDragAndDropFormat().read();
    QStringList formats;
    if (offersFolder(format, alternate))
        formats.append(folderFormat);
    if (offersData(format, alternate))
        formats.append(icon.type == IconFileType::icns ? icnsFormat : pngFormat);
    return formats;
}

QString suggestedFileName(const Icon &icon)
{
    return safeFileName(icon.name);
}

std::optional<QImage> folderIconImage(const Icon &icon)
{
    return folderIconImage(icon.primaryData());
}

std::optional<QImage> folderIconImage(const QByteArray &bytes)
{
    const std::optional<PlatformImage> image = PlatformImage::fromData(bytes);
    if (!image)
        return std::nullopt;
    const auto pixels = [](const ImageRep &rep) { return qint64(rep.pixelSize().width()) * rep.pixelSize().height(); };
    const ImageRep *largest = nullptr;
    for (const ImageRep &rep : image->representations()) {
        if (!largest || pixels(rep) > pixels(*largest))
            largest = &rep;
    }
    if (!largest)
        return std::nullopt;
    // Made for this call alone: nothing would find its pixels in a cache again.
    QImage bitmap = largest->decodedBitmap();
    if (bitmap.isNull())
        return std::nullopt;
    return bitmap;
}

std::optional<QString> dragFolderRoot()
{
    // The temporary folder is shared by every user of the machine: the folder carries the user's
    // id and is accepted only as a real folder of the user's own, so that nobody else can plant a
    // link that sends our folders elsewhere or read what we put there.
    const uid_t user = ::getuid();
    const QString root = QDir::tempPath() + u"/glimbar-drag-"_s + QString::number(user);
    const QByteArray path = QFile::encodeName(root);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        qCWarning(lcIconTransfer) << "cannot make" << root << std::strerror(errno);
        return std::nullopt;
    }
    struct stat info
    {
    };
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != user) {
        qCWarning(lcIconTransfer) << root << "is not a folder of our own";
        return std::nullopt;
    }
    if ((info.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0) {
        qCWarning(lcIconTransfer) << "cannot make" << root << "private" << std::strerror(errno);
        return std::nullopt;
    }
    return root;
}

std::optional<QString> exportIconFolder(const Icon &icon, FileIconSetter &setter)
{
    // A folder without the icon would carry nothing of it.
    const QByteArray bytes = icon.primaryData();
    if (bytes.isEmpty())
        return std::nullopt;
    const std::optional<QString> root = dragFolderRoot();
    if (!root)
        return std::nullopt;
    const std::optional<QString> folder = folderFor(*root, icon.name);
    if (!folder)
        return std::nullopt;
    // Whether the icon was set or not, the folder is handed over.
    setter.setIcon(folderIconImage(bytes), *folder);
    return *folder;
}

} // namespace IconTransfer
