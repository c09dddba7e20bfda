// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// A folder held in memory: regular files by name, in the order they were added. Names are unique
// and always safe as single path components. Written to disk all at once: either the whole folder
// appears at its destination or nothing does.
class FolderWrapper
{
public:
    struct Member
    {
        QString name;
        QByteArray contents;
    };

    // Adds a regular file and returns the name it got: `preferredName` made safe (safeFileName),
    // and, when a member already has that name or one canonically equivalent to it (the same
    // letters composed otherwise), a numbered variant ("Star 2.icns", "Star 3.icns").
    QString addRegularFile(const QByteArray &contents, const QString &preferredName);
    // Replaces the contents of an existing member; false when there is none of that name.
    bool setRegularFileContents(const QString &name, const QByteArray &contents);

    const QList<Member> &members() const { return m_members; }
    bool isEmpty() const { return m_members.isEmpty(); }

    // Writes the folder to `destination`, replacing what is there. The files go into a hidden
    // temporary sibling first, each written whole or the write fails, which is then moved into place
    // in one step; on failure the destination is as it was and `errorMessage` says why (the system's
    // reason, such as a full disk). Every name that addRegularFile() gives is written as it is,
    // the library's own names among them (controls, format characters); a name that is not safe
    // (isSafeFileName) fails the write before anything is written.
    bool write(const QString &destination, QString *errorMessage = nullptr) const;

private:
    void append(const QString &name, const QByteArray &contents);
    QString uniqueName(const QString &name);

    QList<Member> m_members;
    QHash<QString, qsizetype> m_index;
    // The names taken, composed, so that canonically equivalent names count as one.
    QSet<QString> m_canonicalNames;
    // Per preferred name, the next number to try, so that many clashes stay cheap.
    QHash<QString, int> m_nextNumber;
};
