// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ziparchive.h"

#include "platform/printabletext.h"
#include "platform/safefilename.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ZipArchive", text);
}

// One path component that may become a file name as it stands: what safeFileName() would leave
// unchanged (no "/", NUL, leading dot, overlong name), and nothing that reads differently from what
// it is: no backslash (a separator elsewhere), no control, format or line-separator characters.
bool isPlainName(const QString &name)
{
    if (safeFileName(name) != name)
        return false;
    return std::none_of(name.cbegin(), name.cend(), [](QChar c) { return c == u'\\' || isUnprintable(c); });
}

struct ArchiveDeleter
{
    void operator()(archive *handle) const { archive_read_free(handle); }
};

QString archiveError(archive *handle)
{
    const char *message = archive_error_string(handle);
    return message ? QString::fromUtf8(message) : tr("unknown error");
}

class Unpacker
{
public:
    Unpacker(const QString &destination, const ZipArchive::Limits &limits)
        : m_destination(destination)
        , m_limits(limits)
    { }

    bool run(const QByteArray &bytes)
    {
        const std::unique_ptr<archive, ArchiveDeleter> handle(archive_read_new());
        if (!handle)
            return fail(tr("The archive could not be read: out of memory."));
        archive_read_support_format_zip(handle.get());
        if (archive_read_open_memory(handle.get(), bytes.constData(), size_t(bytes.size())) != ARCHIVE_OK)
            return fail(tr("The archive could not be read: %1").arg(archiveError(handle.get())));

        qsizetype members = 0;
        for (;;) {
            archive_entry *entry = nullptr;
            const int status = archive_read_next_header(handle.get(), &entry);
            if (status == ARCHIVE_EOF)
                return true;
            if (status != ARCHIVE_OK && status != ARCHIVE_WARN)
                return fail(tr("The archive could not be read: %1").arg(archiveError(handle.get())));
            if (++members > m_limits.maxMembers)
                return fail(tr("The archive holds more than %1 members.").arg(m_limits.maxMembers));
            if (!unpackEntry(handle.get(), entry))
                return false;
        }
    }

    // Takes back every file written, so that a refused archive leaves the destination as it was.
    void removeWritten()
    {
        for (const QString &name : std::as_const(m_written))
            QFile::remove(m_destination.filePath(name));
        m_written.clear();
    }

    QString errorMessage() const { return m_errorMessage; }

private:
    enum class Layout { unknown, root, folder };

    bool fail(const QString &message)
    {
        m_errorMessage = message;
        return false;
    }

    bool refuseName(const QString &name)
    {
        return fail(tr("The archive member \u201c%1\u201d has a name that is not allowed.").arg(printableText(name)));
    }

    // The root layout, or the one top folder `folder`; an archive that mixes them is refused.
    bool settle(Layout layout, const QString &folder, const QString &name)
    {
        if (m_layout == Layout::unknown) {
            m_layout = layout;
            m_folder = folder;
            return true;
        }
        if (m_layout == layout && m_folder == folder)
            return true;
        return fail(tr("The archive member \u201c%1\u201d lies outside the archive\u2019s one folder.")
                        .arg(printableText(name)));
    }

    bool unpackEntry(archive *handle, archive_entry *entry)
    {
        const char *utf8 = archive_entry_pathname_utf8(entry);
        if (!utf8)
            return fail(tr("The archive holds a member whose name cannot be read."));
        const QByteArray rawName(utf8);
        const QString name = QString::fromUtf8(rawName);
        if (name.toUtf8() != rawName)
            return refuseName(name);

        const mode_t type = archive_entry_filetype(entry);
        const bool isFolder = type == AE_IFDIR;
        if ((type != AE_IFREG && !isFolder) || archive_entry_symlink(entry) || archive_entry_hardlink(entry))
            return fail(tr("The archive member \u201c%1\u201d is not a regular file.").arg(printableText(name)));
        if (archive_entry_is_encrypted(entry))
            return fail(tr("The archive member \u201c%1\u201d is encrypted.").arg(printableText(name)));

        QString path = name;
        if (isFolder && path.endsWith(u'/'))
            path.chop(1);
        const QStringList parts = path.split(u'/');
        for (const QString &part : parts) {
            if (!isPlainName(part))
                return refuseName(name);
        }

        if (isFolder) {
            if (parts.size() != 1)
                return fail(tr("The archive member \u201c%1\u201d is a nested folder.").arg(printableText(name)));
            if (!settle(Layout::folder, parts.first(), name))
                return false;
            if (m_sawFolderEntry)
                return fail(tr("The archive holds the member \u201c%1\u201d twice.").arg(printableText(name)));
            m_sawFolderEntry = true;
            return true;
        }

        if (parts.size() == 1) {
            if (!settle(Layout::root, QString(), name))
                return false;
        } else if (parts.size() == 2) {
            if (!settle(Layout::folder, parts.first(), name))
                return false;
        } else {
            return fail(tr("The archive member \u201c%1\u201d lies in a nested folder.").arg(printableText(name)));
        }
        return writeFile(handle, name, parts.last());
    }

    bool writeFile(archive *handle, const QString &memberName, const QString &fileName)
    {
        if (m_names.contains(fileName))
            return fail(tr("The archive holds the member \u201c%1\u201d twice.").arg(printableText(memberName)));
        m_names.insert(fileName);

        QFile file(m_destination.filePath(fileName));
        // NewOnly never follows or replaces what is already there.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return fail(tr("The archive member \u201c%1\u201d could not be written: %2")
                            .arg(printableText(memberName), file.errorString()));
        m_written.append(fileName);

        constexpr qsizetype chunkBytes = qsizetype(64) << 10;
        QByteArray buffer(chunkBytes, Qt::Uninitialized);
        for (;;) {
            const la_ssize_t read = archive_read_data(handle, buffer.data(), size_t(buffer.size()));
            if (read == 0)
                return true;
            if (read < 0)
                return fail(tr("The archive member \u201c%1\u201d could not be read: %2")
                                .arg(printableText(memberName), archiveError(handle)));
            m_unpackedBytes += read;
            if (m_unpackedBytes > m_limits.maxUnpackedBytes)
                return fail(tr("The archive unpacks to more than %1 bytes.").arg(m_limits.maxUnpackedBytes));
            if (file.write(buffer.constData(), read) != read)
                return fail(tr("The archive member \u201c%1\u201d could not be written: %2")
                                .arg(printableText(memberName), file.errorString()));
        }
    }

    QDir m_destination;
    ZipArchive::Limits m_limits;
    Layout m_layout = Layout::unknown;
    QString m_folder;
    bool m_sawFolderEntry = false;
    QSet<QString> m_names;
    QStringList m_written;
    qint64 m_unpackedBytes = 0;
    QString m_errorMessage;
};

} // namespace

bool ZipArchive::unpack(
    const QByteArray &bytes, const QString &destination, const Limits &limits, QString *errorMessage)
{
    Unpacker unpacker(destination, limits);
    if (unpacker.run(bytes))
        return true;
    unpacker.removeWritten();
    if (errorMessage)
        *errorMessage = unpacker.errorMessage();
    return false;
}
