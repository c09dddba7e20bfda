// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

// Writes zip archives for tests, names taken exactly as given: "../x", "/x" and links included, the
// way a hostile server would send them.
class ZipWriter
{
public:
    ZipWriter &file(const QByteArray &name, const QByteArray &contents);
    // A member of `head` followed by `zeros` zero bytes, written piece by piece and deflated, so
    // that a member of hundreds of megabytes costs neither the test's memory nor much of the archive.
    ZipWriter &zeros(const QByteArray &name, qint64 zeros, const QByteArray &head = {});
    ZipWriter &folder(const QByteArray &name);
    ZipWriter &symlink(const QByteArray &name, const QByteArray &target);
    // Every member encrypted with the traditional zip cipher.
    ZipWriter &encrypted();

    // The archive; empty when libarchive refuses to write it.
    QByteArray build() const;

private:
    enum class Kind { file, folder, symlink };
    struct Entry
    {
        Kind kind;
        QByteArray name;
        QByteArray data;
        qint64 zeros = 0;
    };

    QList<Entry> m_entries;
    bool m_encrypted = false;
};
