// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/stagingfolder.h"

#include "platform/files/nativefiles.h"
#include "platform/files/safewrite.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

StagingFolder::StagingFolder(const QString &parent, QStringView prefix)
{
    QByteArray pattern
        = QFile::encodeName(parent + u'/' + prefix.toString() + QString::number(::getpid()) + u"-XXXXXX"_s);
    if (::mkdtemp(pattern.data())) {
        ::chmod(pattern.constData(), 0755);
        m_path = QFile::decodeName(pattern);
    } else {
        m_error = errno;
    }
}

StagingFolder::~StagingFolder()
{
    if (!m_path.isEmpty() && !m_kept)
        removeTree(m_path);
}

void StagingFolder::sweep(const QString &parent, QStringView prefix, std::optional<std::chrono::seconds> unnamedAge)
{
    const auto members = listMembers(QFile::encodeName(parent), true, qsizetype(1) << 20, nullptr);
    if (!members)
        return;
    QSet<QString> settled;
    for (const FolderMember &member : *members) {
        if (!member.name.startsWith(prefix))
            continue;
        const QStringView rest = QStringView(member.name).mid(prefix.size());
        const qsizetype dash = rest.indexOf(u'-');
        bool isNumber = false;
        const pid_t owner = dash > 0 ? pid_t(rest.left(dash).toInt(&isNumber)) : 0;
        if (isNumber && owner > 0) {
            // A write still running, here or in another process, is left alone.
            if (owner == ::getpid() || ::kill(owner, 0) == 0 || errno == EPERM)
                continue;
        } else if (!unnamedAge
            || QFileInfo(QFile::decodeName(member.nativePath)).lastModified().secsTo(QDateTime::currentDateTime())
                < unnamedAge->count()) {
            continue;
        }
        // The random part has no "-": what follows it names a companion of the same staging folder.
        const qsizetype end = rest.indexOf(u'-', dash + 1);
        const QString staging = parent + u'/' + member.name.left(prefix.size() + (end < 0 ? rest.size() : end));
        if (!settled.contains(staging)) {
            settled.insert(staging);
            settleReplace(staging);
        }
    }
}
