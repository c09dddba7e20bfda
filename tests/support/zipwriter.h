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
    };

    QList<Entry> m_entries;
    bool m_encrypted = false;
};
