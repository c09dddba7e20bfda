// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folderwrapper.h"

#include "platform/safefilename.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

void setError(QString *errorMessage, const QString &message)
{
    if (errorMessage)
        *errorMessage = message;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("FolderWrapper", text);
}

// Removes what a path names without following it when it is a link.
bool removePath(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

bool isPlainName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(QChar::Null);
}

} // namespace

void FolderWrapper::append(const QString &name, const QByteArray &contents)
{
    m_index.insert(name, m_members.size());
    m_members.append({ name, contents });
}

QString FolderWrapper::uniqueName(const QString &name)
{
    if (!m_index.contains(name))
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    int &number = m_nextNumber[name];
    number = qMax(number, 2);
    for (;; ++number) {
        const QString candidate = fitFileName(stem, u' ' + QString::number(number) + extension);
        if (!m_index.contains(candidate)) {
            ++number;
            return candidate;
        }
    }
}

QString FolderWrapper::addRegularFile(const QByteArray &contents, const QString &preferredName)
{
    const QString name = uniqueName(safeFileName(preferredName));
    append(name, contents);
    return name;
}

QStringList FolderWrapper::memberNames() const
{
    QStringList names;
    names.reserve(m_members.size());
    for (const Member &member : m_members)
        names << member.name;
    return names;
}

bool FolderWrapper::setRegularFileContents(const QString &name, const QByteArray &contents)
{
    const auto it = m_index.constFind(name);
    if (it == m_index.cend())
        return false;
    m_members[*it].contents = contents;
    return true;
}

std::optional<QByteArray> FolderWrapper::regularFileContents(const QString &name) const
{
    const auto it = m_index.constFind(name);
    if (it == m_index.cend())
        return std::nullopt;
    return m_members.at(*it).contents;
}

std::optional<FolderWrapper> FolderWrapper::read(const QString &path, QString *errorMessage)
{
    const QFileInfo folderInfo(path);
    if (!folderInfo.isDir()) {
        setError(errorMessage, tr("The folder “%1” doesn’t exist.").arg(folderInfo.fileName()));
        return std::nullopt;
    }
    const QString tooLarge = tr("The folder “%1” is too large to read.").arg(folderInfo.fileName());
    QFileInfoList files;
    qint64 totalBytes = 0;
    // Iterated rather than listed, so that a folder of millions of entries is refused early.
    QDirIterator it(path, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        if (entry.isSymLink() || !entry.isFile())
            continue;
        files.append(entry);
        totalBytes += entry.size();
        if (files.size() > maxMembers) {
            setError(errorMessage, tr("The folder “%1” holds too many files.").arg(folderInfo.fileName()));
            return std::nullopt;
        }
        if (entry.size() > maxFileBytes || totalBytes > maxTotalBytes) {
            setError(errorMessage, tooLarge);
            return std::nullopt;
        }
    }

    std::sort(
        files.begin(), files.end(), [](const QFileInfo &a, const QFileInfo &b) { return a.fileName() < b.fileName(); });

    FolderWrapper folder;
    totalBytes = 0;
    for (const QFileInfo &entry : std::as_const(files)) {
        QFile file(entry.filePath());
        // A file may grow after it was measured, so the bounds hold while reading too.
        const QByteArray contents = file.open(QIODevice::ReadOnly) ? file.read(maxFileBytes + 1) : QByteArray();
        if (file.error() != QFileDevice::NoError) {
            setError(errorMessage, tr("The file “%1” couldn’t be read: %2").arg(entry.fileName(), file.errorString()));
            return std::nullopt;
        }
        totalBytes += contents.size();
        if (contents.size() > maxFileBytes || totalBytes > maxTotalBytes) {
            setError(errorMessage, tooLarge);
            return std::nullopt;
        }
        folder.append(entry.fileName(), contents);
    }
    return folder;
}

bool FolderWrapper::write(const QString &destination, QString *errorMessage) const
{
    const QFileInfo destinationInfo(destination);
    const QString parent = destinationInfo.absolutePath();
    const QString target = destinationInfo.absoluteFilePath();
    if (!QFileInfo(parent).isDir()) {
        setError(errorMessage, tr("The folder “%1” doesn’t exist.").arg(parent));
        return false;
    }

    // A hidden sibling on the same file system, so that the final move is a rename.
    QTemporaryDir staging(parent + u'/' + fitFileName(u'.' + destinationInfo.fileName(), u".XXXXXX"_s));
    if (!staging.isValid()) {
        setError(errorMessage, tr("Couldn’t create a folder in “%1”: %2").arg(parent, staging.errorString()));
        return false;
    }
    QFile::setPermissions(staging.path(),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
            | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther);

    for (const Member &member : m_members) {
        if (!isPlainName(member.name)) {
            setError(errorMessage, tr("“%1” is not a valid file name.").arg(member.name));
            return false;
        }
        QSaveFile file(staging.path() + u'/' + member.name);
        // The staging folder is ours alone; writing in place there is as safe as a temporary
        // file, and works for names too long to take a temporary suffix.
        file.setDirectWriteFallback(true);
        if (!file.open(QIODevice::WriteOnly) || file.write(member.contents) != member.contents.size()
            || !file.commit()) {
            setError(errorMessage, tr("The file “%1” couldn’t be saved: %2").arg(member.name, file.errorString()));
            return false;
        }
    }

    const QByteArray from = QFile::encodeName(staging.path());
    const QByteArray to = QFile::encodeName(target);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        staging.setAutoRemove(false);
        return true;
    }
    if (errno == EEXIST) {
        // Swap the new folder in and the old one out in one step, then drop the old one.
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0) {
            staging.setAutoRemove(false);
            removePath(QFile::decodeName(from));
            return true;
        }
    } else if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the flags: a plain rename, which fails rather than merge into an
        // existing non-empty folder.
        if (!destinationInfo.exists() && std::rename(from.constData(), to.constData()) == 0) {
            staging.setAutoRemove(false);
            return true;
        }
    }
    setError(errorMessage,
        tr("The folder “%1” couldn’t be saved: %2")
            .arg(destinationInfo.fileName(), QString::fromLocal8Bit(std::strerror(errno))));
    return false;
}
