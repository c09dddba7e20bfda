// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/folderwrapper.h"

#include "platform/files/safefilename.h"
#include "platform/files/safewrite.h"
#include "platform/files/stagingfolder.h"
#include "platform/text/translationcontext.h"

#include <QFileInfo>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// Hidden folders of an export in progress start with this, then the process id and "-".
constexpr QStringView exportStagingPrefix = u".glimbar-export-";

void setError(QString *errorMessage, const QString &message)
{
    if (errorMessage)
        *errorMessage = message;
}

constexpr TranslationContext tr { "FolderWrapper" };

} // namespace

void FolderWrapper::append(const QString &name, const QByteArray &contents)
{
    m_canonicalNames.insert(name.normalized(QString::NormalizationForm_C));
    m_index.insert(name, m_members.size());
    m_members.append({ name, contents });
}

QString FolderWrapper::uniqueName(const QString &name)
{
    const auto taken = [this](const QString &candidate) {
        return m_canonicalNames.contains(candidate.normalized(QString::NormalizationForm_C));
    };
    if (!taken(name))
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    int &number = m_nextNumber[name];
    number = qMax(number, 2);
    for (;; ++number) {
        const QString candidate = fitFileName(stem, u' ' + QString::number(number) + extension);
        if (!taken(candidate)) {
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

bool FolderWrapper::setRegularFileContents(const QString &name, const QByteArray &contents)
{
    const auto it = m_index.constFind(name);
    if (it == m_index.cend())
        return false;
    m_members[*it].contents = contents;
    return true;
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
    for (const Member &member : m_members) {
        if (!isSafeFileName(member.name)) {
            setError(errorMessage, tr("“%1” is not a valid file name.").arg(member.name));
            return false;
        }
    }

    // What an export killed part-way left here is settled first: a destination it had moved aside
    // comes back, and its hidden copies go.
    StagingFolder::sweep(parent, exportStagingPrefix);
    // A hidden sibling on the same file system, so that the final move is a rename.
    StagingFolder staging(parent, exportStagingPrefix);
    if (!staging.isValid()) {
        setError(errorMessage,
            tr("Couldn’t create a folder in “%1”: %2")
                .arg(parent, QString::fromLocal8Bit(std::strerror(staging.error()))));
        return false;
    }

    QString reason;
    for (const Member &member : m_members) {
        if (!writeNewFile(staging.path() + u'/' + member.name, member.contents, &reason)) {
            setError(errorMessage, tr("The file “%1” couldn’t be saved: %2").arg(member.name, reason));
            return false;
        }
    }
    if (!replaceFolder(staging.path(), target, &reason)) {
        setError(errorMessage, tr("The folder “%1” couldn’t be saved: %2").arg(destinationInfo.fileName(), reason));
        return false;
    }
    staging.keep();
    return true;
}
