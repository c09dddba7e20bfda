// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/giofileiconsetter.h"

#include "platform/desktop/foldericonfile.h"
#include "platform/files/applicationfolder.h"
#include "platform/files/nativefiles.h"
#include "platform/files/safewrite.h"
#include "platform/text/logging.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

// GLib names a struct member `signals`, which Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr const char *customIconAttribute = "metadata::custom-icon";

struct GObjectDeleter
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
using FilePtr = std::unique_ptr<GFile, GObjectDeleter>;
using FileInfoPtr = std::unique_ptr<GFileInfo, GObjectDeleter>;

struct GErrorDeleter
{
    void operator()(GError *error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

struct GFreeDeleter
{
    void operator()(gpointer memory) const { g_free(memory); }
};
using CharPtr = std::unique_ptr<char, GFreeDeleter>;

FilePtr fileForPath(const QString &path)
{
    return FilePtr(g_file_new_for_path(QFile::encodeName(path).constData()));
}

// Whether the file at `path` holds exactly `png`. A picture found there is checked before it is
// trusted: a crash or an older version may have left it empty or cut short.
bool holdsPicture(const QString &path, const QByteArray &png)
{
    const auto bytes = readRegularFile(QFile::encodeName(path), path, png.size(), nullptr);
    return bytes && *bytes == png;
}

std::optional<QByteArray> encodePng(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) {
        qCWarning(lcFileIcon) << "cannot encode the icon as PNG";
        return std::nullopt;
    }
    return png;
}

// Stores the PNG under the hash of its bytes; an existing file of that name is kept when it holds
// them, and replaced when it does not.
std::optional<QString> storePicture(const QByteArray &png)
{
    const QString folder = GioFileIconSetter::customIconFolder();
    const QString fileName = folder + u'/'
        + QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha256).toHex()) + ".png"_L1;
    if (holdsPicture(fileName, png))
        return fileName;
    if (!QDir().mkpath(folder)) {
        qCWarning(lcFileIcon) << "cannot make" << folder;
        return std::nullopt;
    }
    QString reason;
    if (!writeFileAtomically(fileName, png, &reason)) {
        qCWarning(lcFileIcon) << "cannot write" << fileName << reason;
        return std::nullopt;
    }
    return fileName;
}

// GIO's metadata store tells nobody of a change, so file managers would show the old icon until
// they reload. Setting the item's times moves its change time, which their watch on the folder
// reports as IN_ATTRIB, and they read the item again. Both times are given: the kernel reports a
// change of the modification time alone as IN_MODIFY, which some watchers ignore. A file keeps its
// own times from `before`, to the nanosecond. A folder keeps the modification time that writing
// its ".directory" gave it: Dolphin reads an item again only when that time or its size changed.
void announceChange(const QByteArray &path, const struct stat &before)
{
    struct stat now = before;
    if (S_ISDIR(before.st_mode) && ::lstat(path.constData(), &now) != 0)
        now = before;
    const struct timespec times[2] = { before.st_atim, now.st_mtim };
    if (::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        qCInfo(lcFileIcon) << "cannot announce the new icon of" << path << std::strerror(errno);
}

} // namespace

bool GioFileIconSetter::setIcon(const std::optional<QImage> &image, const QString &path)
{
    // Checked first so a missing item neither stores a picture nor gets metadata of its own.
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat before
    {
    };
    if (path.isEmpty() || !QFileInfo::exists(path) || ::lstat(nativePath.constData(), &before) != 0) {
        qCWarning(lcFileIcon) << "no item at" << path;
        return false;
    }
    const auto file = fileForPath(path);
    GError *rawError = nullptr;
    bool done = false;
    std::optional<QByteArray> png;
    if (image) {
        png = encodePng(*image);
        const auto picture = png ? storePicture(*png) : std::nullopt;
        if (!picture)
            return false;
        const CharPtr uri(g_file_get_uri(fileForPath(*picture).get()));
        done = g_file_set_attribute_string(
            file.get(), customIconAttribute, uri.get(), G_FILE_QUERY_INFO_NONE, nullptr, &rawError);
    } else {
        // The invalid type unsets the attribute; removing an icon that is not there succeeds.
        done = g_file_set_attribute(file.get(), customIconAttribute, G_FILE_ATTRIBUTE_TYPE_INVALID, nullptr,
            G_FILE_QUERY_INFO_NONE, nullptr, &rawError);
    }
    const ErrorPtr error(rawError);
    if (!done) {
        qCWarning(lcFileIcon) << "cannot set the custom icon of" << path << ":"
                              << (error ? QString::fromUtf8(error->message) : QString());
        return false;
    }
    if (S_ISDIR(before.st_mode) && FolderIconFile::apply(path, png) == FolderIconFile::Outcome::failed)
        done = false;
    announceChange(nativePath, before);
    return done;
}

QString GioFileIconSetter::customIconFolder()
{
    return ApplicationFolder::dataFolder() + "/custom-icons"_L1;
}
