// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/foldericonfile.h"

#include "platform/files/nativefiles.h"
#include "platform/files/safewrite.h"
#include "platform/text/logging.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace FolderIconFile {

namespace {

constexpr QByteArrayView desktopEntryGroup = "Desktop Entry";
constexpr QByteArrayView iconKey = "Icon";
constexpr QByteArrayView ourValuePrefix = "./.glimbar-icon-";
constexpr QByteArrayView pictureSuffix = ".png";
constexpr qsizetype pictureHashDigits = 16;

struct Lines
{
    QList<QByteArray> lines; // without their "\n"
    bool endsWithNewline = false;
};

Lines splitLines(const QByteArray &content)
{
    Lines result;
    if (content.isEmpty())
        return result;
    result.lines = content.split('\n');
    result.endsWithNewline = content.endsWith('\n');
    if (result.endsWithNewline)
        result.lines.removeLast();
    return result;
}

QByteArray joinLines(const Lines &lines)
{
    if (lines.lines.isEmpty())
        return {};
    QByteArray joined = lines.lines.join('\n');
    if (lines.endsWithNewline)
        joined += '\n';
    return joined;
}

bool isBlank(const QByteArray &line)
{
    return line.trimmed().isEmpty();
}

// The group a header line opens ("[Desktop Entry]"); none for any other line.
std::optional<QByteArray> groupOf(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith('[') || !trimmed.endsWith(']'))
        return std::nullopt;
    return trimmed.mid(1, trimmed.size() - 2);
}

// The value of a `key=` line; none for comments and other keys.
std::optional<QByteArray> valueOf(const QByteArray &line, QByteArrayView key)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith('#'))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf('=');
    if (equals < 0 || trimmed.left(equals).trimmed() != key)
        return std::nullopt;
    return trimmed.mid(equals + 1).trimmed();
}

std::optional<QByteArray> iconValueOf(const QByteArray &line)
{
    return valueOf(line, iconKey);
}

// Where the first saved icon line of "[Desktop Entry]" is, and its value.
std::optional<std::pair<qsizetype, QByteArray>> findSavedIcon(const QList<QByteArray> &lines)
{
    bool inEntry = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto group = groupOf(lines.at(i)))
            inEntry = *group == desktopEntryGroup;
        else if (const auto value = inEntry ? valueOf(lines.at(i), savedIconKey) : std::nullopt)
            return std::pair { i, *value };
    }
    return std::nullopt;
}

bool holdsBytes(const QByteArray &path, const QByteArray &bytes)
{
    return readRegularFile(path, QFile::decodeName(path), bytes.size(), nullptr) == bytes;
}

// Replaces ".directory", keeping the permissions the user gave it.
bool writeDirectoryFile(const QByteArray &path, const QByteArray &content, std::optional<mode_t> mode)
{
    QString reason;
    if (!writeFileAtomically(QFile::decodeName(path), content, &reason)) {
        qCWarning(lcFolderIcon) << "cannot write" << path << reason;
        return false;
    }
    if (mode && ::chmod(path.constData(), *mode) != 0)
        qCWarning(lcFolderIcon) << "cannot keep the permissions of" << path << std::strerror(errno);
    return true;
}

void removePictures(const QByteArray &folder, const QList<QByteArray> &values, QByteArrayView except = {})
{
    for (const QByteArray &value : values) {
        // Checked again: only a name of our own form, which has no "/", is ever removed.
        if (value == except || !isOurIconValue(value))
            continue;
        const QByteArray path = folder + '/' + value.mid(2);
        if (::unlink(path.constData()) != 0 && errno != ENOENT)
            qCWarning(lcFolderIcon) << "cannot remove" << path << std::strerror(errno);
    }
}

} // namespace

QString pictureName(QByteArrayView png)
{
    const QByteArray hash = QCryptographicHash::hash(png, QCryptographicHash::Sha256).toHex();
    return QString::fromLatin1(
        ourValuePrefix.sliced(2).toByteArray() + hash.left(pictureHashDigits) + pictureSuffix.toByteArray());
}

bool isOurIconValue(QByteArrayView value)
{
    if (value.size() != ourValuePrefix.size() + pictureHashDigits + pictureSuffix.size()
        || !value.startsWith(ourValuePrefix) || !value.endsWith(pictureSuffix))
        return false;
    const QByteArrayView hash = value.sliced(ourValuePrefix.size(), pictureHashDigits);
    return std::all_of(
        hash.begin(), hash.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

QByteArray withIcon(const QByteArray &content, const QByteArray &value)
{
    Lines split = splitLines(content);
    QList<QByteArray> &lines = split.lines;
    const QByteArray line = iconKey.toByteArray() + '=' + value;
    int entryGroups = 0;
    bool inEntry = false;
    qsizetype insertAt = -1;
    bool replaced = false;
    bool saved = findSavedIcon(lines).has_value();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto group = groupOf(lines.at(i))) {
            inEntry = *group == desktopEntryGroup;
            if (inEntry && ++entryGroups == 1)
                insertAt = i + 1;
            continue;
        }
        if (!inEntry)
            continue;
        if (const auto previous = iconValueOf(lines.at(i))) {
            lines[i] = line;
            replaced = true;
            // The folder's own icon is the user's: it comes back when ours is removed.
            if (!saved && !isOurIconValue(*previous) && !previous->isEmpty()) {
                lines.insert(++i, savedIconKey.toByteArray() + '=' + *previous);
                saved = true;
            }
        } else if (entryGroups == 1 && !isBlank(lines.at(i))) {
            // After the group's last line, before the blank lines that part it from the next.
            insertAt = i + 1;
        }
    }
    if (replaced)
        return joinLines(split);
    if (insertAt >= 0) {
        lines.insert(insertAt, line);
        return joinLines(split);
    }
    if (!lines.isEmpty() && !isBlank(lines.constLast()))
        lines.append(QByteArray());
    lines.append('[' + desktopEntryGroup.toByteArray() + ']');
    lines.append(line);
    split.endsWithNewline = true;
    return joinLines(split);
}

QByteArray withoutOurIcon(const QByteArray &content, QList<QByteArray> *removed)
{
    Lines split = splitLines(content);
    QList<QByteArray> &lines = split.lines;
    auto saved = findSavedIcon(lines);
    std::set<qsizetype> dropped;
    std::set<qsizetype> touchedHeaders;
    qsizetype entryHeader = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto group = groupOf(lines.at(i))) {
            entryHeader = *group == desktopEntryGroup ? i : -1;
            continue;
        }
        if (entryHeader < 0)
            continue;
        const auto value = iconValueOf(lines.at(i));
        if (value && isOurIconValue(*value)) {
            if (removed)
                removed->append(*value);
            if (saved) {
                lines[i] = iconKey.toByteArray() + '=' + saved->second;
                dropped.insert(saved->first);
                saved.reset();
                continue;
            }
            dropped.insert(i);
            touchedHeaders.insert(entryHeader);
        }
    }
    if (dropped.empty())
        return content;

    // A group that held nothing but our line goes too, with the blank lines that set it apart.
    for (const qsizetype header : touchedHeaders) {
        qsizetype end = header + 1;
        bool empty = true;
        for (; end < lines.size() && !groupOf(lines.at(end)); ++end) {
            if (!dropped.contains(end) && !isBlank(lines.at(end)))
                empty = false;
        }
        if (!empty)
            continue;
        for (qsizetype i = header; i < end; ++i)
            dropped.insert(i);
        if (end == lines.size()) {
            for (qsizetype i = header - 1; i >= 0 && isBlank(lines.at(i)) && !dropped.contains(i); --i)
                dropped.insert(i);
        }
    }
    Lines kept;
    kept.endsWithNewline = split.endsWithNewline;
    bool anything = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (dropped.contains(i))
            continue;
        kept.lines.append(lines.at(i));
        anything = anything || !isBlank(lines.at(i));
    }
    return anything ? joinLines(kept) : QByteArray();
}

Outcome apply(const QString &folder, const std::optional<QByteArray> &png)
{
    const QByteArray folderPath = QFile::encodeName(folder);
    if (::access(folderPath.constData(), W_OK | X_OK) != 0) {
        qCInfo(lcFolderIcon) << "not ours to change:" << folder << std::strerror(errno);
        return Outcome::leftAlone;
    }
    const QByteArray directoryPath = folderPath + '/' + directoryFileName.toString().toLatin1();
    QByteArray content;
    std::optional<mode_t> mode;
    struct stat info
    {
    };
    if (::lstat(directoryPath.constData(), &info) == 0) {
        // A link may lead out of the folder, and a huge file is none a file manager wrote.
        if (!S_ISREG(info.st_mode) || info.st_size > maxDirectoryFileBytes) {
            qCInfo(lcFolderIcon) << "not ours to change:" << directoryPath;
            return Outcome::leftAlone;
        }
        QString reason;
        const auto bytes = readRegularFile(directoryPath, directoryFileName.toString(), maxDirectoryFileBytes, &reason);
        if (!bytes) {
            qCWarning(lcFolderIcon) << "cannot read" << directoryPath << reason;
            return Outcome::failed;
        }
        content = *bytes;
        mode = info.st_mode & 07777;
    } else if (errno != ENOENT) {
        qCWarning(lcFolderIcon) << "cannot look at" << directoryPath << std::strerror(errno);
        return Outcome::failed;
    }

    QList<QByteArray> ours;
    const QByteArray withoutOurs = withoutOurIcon(content, &ours);
    if (!png) {
        if (withoutOurs.isEmpty() && !content.isEmpty()) {
            // Nothing but our icon was in it.
            if (::unlink(directoryPath.constData()) != 0 && errno != ENOENT) {
                qCWarning(lcFolderIcon) << "cannot remove" << directoryPath << std::strerror(errno);
                return Outcome::failed;
            }
        } else if (withoutOurs != content && !writeDirectoryFile(directoryPath, withoutOurs, mode)) {
            return Outcome::failed;
        }
        removePictures(folderPath, ours);
        return Outcome::done;
    }

    const QByteArray name = QFile::encodeName(pictureName(*png));
    const QByteArray picturePath = folderPath + '/' + name;
    const QByteArray value = "./" + name;
    const bool pictureWasThere = holdsBytes(picturePath, *png);
    QString reason;
    if (!pictureWasThere && !writeFileAtomically(QFile::decodeName(picturePath), *png, &reason)) {
        qCWarning(lcFolderIcon) << "cannot write" << picturePath << reason;
        return Outcome::failed;
    }
    const QByteArray updated = withIcon(content, value);
    if (updated != content && !writeDirectoryFile(directoryPath, updated, mode)) {
        if (!pictureWasThere)
            ::unlink(picturePath.constData());
        return Outcome::failed;
    }
    removePictures(folderPath, ours, value);
    return Outcome::done;
}

} // namespace FolderIconFile
