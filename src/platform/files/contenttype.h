// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// A kind of file: an identifier (a MIME name for the system's own kinds), the preferred file-name
// extension (empty when the type has none) and the types it conforms to. Equal when the
// identifiers are equal. Each shared type is made once, on first use.
class ContentType
{
public:
    static const ContentType &icns();
    static const ContentType &png();
    static const ContentType &json();
    static const ContentType &folder();
    // Any regular file's bytes; the type of a file whose extension says nothing more.
    static const ContentType &data();

    // The type of a member named `fileName`: its extension (any letter case) decides, and
    // whether it is a folder. Every regular file is at least data, every folder at least a folder.
    static const ContentType &fromFileName(const QString &fileName, bool isFolder);

    const QString &identifier() const { return m_identifier; }
    const QString &preferredFilenameExtension() const { return m_extension; }
    bool isFolder() const { return m_isFolder; }
    // True for the type itself and every type it descends from.
    bool conforms(const ContentType &other) const;

    friend bool operator==(const ContentType &a, const ContentType &b) { return a.m_identifier == b.m_identifier; }

private:
    friend const ContentType &ownContainerType();
    friend const ContentType &legacyContainerType();
    ContentType(QString identifier, QString extension, bool isFolder, const ContentType *parent);

    QString m_identifier;
    QString m_extension;
    bool m_isFolder;
    QStringList m_lineage; // own identifier first, then each ancestor's
};

// The system's own rAvivovode: a folder with the extension "ravivovode".
const ContentType &ownContainerType();
// The older single-file rAvivovode archive with the same extension.
const ContentType &legacyContainerType();
