// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/archives/ziparchive.h"

#include "platform/files/contenttype.h"
#include "platform/files/safefilename.h"
#include "platform/files/safewrite.h"
#include "platform/text/printabletext.h"
#include "platform/text/translationcontext.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>

#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr TranslationContext tr { "ZipArchive" };

quint32 littleEndian(QByteArrayView bytes, qsizetype offset, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[offset + i]);
    return value;
}

enum class DirectoryProblem { none, nameWithNul, special };

// What the reader would hide in the archive's central directory: it hands names over as C strings,
// cut at the first NUL, so "a.png\0/../x" would pass for "a.png", and it turns pipes and other
// special Unix members into regular files. The directory is read here to refuse them whole. An
// archive without a readable directory is left to the reader.
DirectoryProblem centralDirectoryProblem(QByteArrayView bytes)
{
    constexpr qsizetype endRecordSize = 22;
    constexpr qsizetype maxCommentSize = 0xffff;
    if (bytes.size() < endRecordSize)
        return DirectoryProblem::none;
    const qsizetype searchFrom = std::max<qsizetype>(0, bytes.size() - endRecordSize - maxCommentSize);
    for (qsizetype end = bytes.size() - endRecordSize; end >= searchFrom; --end) {
        if (bytes.sliced(end, 4) != QByteArrayView("PK\5\6"))
            continue;
        const qsizetype entries = littleEndian(bytes, end + 10, 2);
        qsizetype offset = littleEndian(bytes, end + 16, 4);
        for (qsizetype i = 0; i < entries; ++i) {
            constexpr qsizetype headerSize = 46;
            if (offset < 0 || offset + headerSize > bytes.size() || bytes.sliced(offset, 4) != QByteArrayView("PK\1\2"))
                return DirectoryProblem::none;
            constexpr quint32 unixSystem = 3;
            if (littleEndian(bytes, offset + 4, 2) >> 8 == unixSystem) {
                const quint32 mode = littleEndian(bytes, offset + 38, 4) >> 16;
                const quint32 type = mode & S_IFMT;
                if ((type != 0 && type != S_IFREG && type != S_IFDIR && type != S_IFLNK)
                    || (mode & (S_ISUID | S_ISGID)) != 0)
                    return DirectoryProblem::special;
            }
            const qsizetype nameLength = littleEndian(bytes, offset + 28, 2);
            const qsizetype extraLength = littleEndian(bytes, offset + 30, 2);
            const qsizetype commentLength = littleEndian(bytes, offset + 32, 2);
            if (offset + headerSize + nameLength > bytes.size())
                return DirectoryProblem::none;
            if (bytes.sliced(offset + headerSize, nameLength).contains('\0'))
                return DirectoryProblem::nameWithNul;
            offset += headerSize + nameLength + extraLength + commentLength;
        }
        return DirectoryProblem::none;
    }
    return DirectoryProblem::none;
}

// Members that ordinary tools add beside the folder's files, skipped rather than refused: hidden
// files, a Mac's "__MACOSX" resource folder, and anything inside folders below the top one.
bool isSkipped(const QStringList &parts, bool isFolder)
{
    for (const QString &part : parts) {
        if (part.startsWith(u'.') && part != u"." && part != u"..")
            return true;
    }
    if (parts.first() == u"__MACOSX")
        return true;
    return parts.size() > (isFolder ? 1 : 2);
}

// What the library's reader takes a member for, by its name: the image it must hold, if any.
struct ImageKind
{
    QByteArrayView signature;
    QString name;
};

ImageKind imageKindOf(const QString &fileName)
{
    const ContentType &type = ContentType::fromFileName(fileName, false);
    if (type.conforms(ContentType::icns()))
        return { "icns", u"ICNS"_s };
    if (type.conforms(ContentType::png()))
        return { "\x89PNG\r\n\x1a\n", u"PNG"_s };
    return {};
}

struct FileCloser
{
    int fd;
    ~FileCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

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

    bool run(QByteArrayView bytes)
    {
        const std::unique_ptr<archive, ArchiveDeleter> handle(archive_read_new());
        if (!handle)
            return fail(tr("The archive could not be read: out of memory."));
        switch (centralDirectoryProblem(bytes)) {
        case DirectoryProblem::none:
            break;
        case DirectoryProblem::nameWithNul:
            return fail(tr("The archive holds a member whose name cannot be read."));
        case DirectoryProblem::special:
            return fail(tr("The archive holds a member that is not a regular file."));
        }
        findInfoLayout(bytes);
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

    // Where "info.json" lies, at the root or in one top folder, fixes the layout before anything
    // is unpacked: what lies elsewhere is then only beside the container (a folder of extras, a
    // second copy) and is skipped. Only names are read here; the unpacking pass checks them all.
    void findInfoLayout(QByteArrayView bytes)
    {
        const std::unique_ptr<archive, ArchiveDeleter> handle(archive_read_new());
        if (!handle)
            return;
        archive_read_support_format_zip(handle.get());
        if (archive_read_open_memory(handle.get(), bytes.constData(), size_t(bytes.size())) != ARCHIVE_OK)
            return;
        const QString infoName = u"info.json"_s;
        for (qsizetype members = 0; members < m_limits.maxMembers; ++members) {
            archive_entry *entry = nullptr;
            const int status = archive_read_next_header(handle.get(), &entry);
            if (status != ARCHIVE_OK && status != ARCHIVE_WARN)
                return;
            const char *utf8 = archive_entry_pathname_utf8(entry);
            if (!utf8 || archive_entry_filetype(entry) != AE_IFREG)
                continue;
            const QStringList parts = QString::fromUtf8(utf8).split(u'/');
            if (parts.last() != infoName || parts.size() > 2 || isSkipped(parts, false))
                continue;
            m_layout = parts.size() == 1 ? Layout::root : Layout::folder;
            m_folder = parts.size() == 1 ? QString() : parts.first();
            m_layoutFixed = true;
            return;
        }
    }

    enum class Fit { take, skip, refuse };

    // The root layout, or the one top folder `folder`. Once "info.json" has fixed the layout a
    // member elsewhere is skipped; without it, an archive that mixes them is refused.
    Fit settle(Layout layout, const QString &folder, const QString &name)
    {
        if (m_layout == Layout::unknown) {
            m_layout = layout;
            m_folder = folder;
            return Fit::take;
        }
        if (m_layout == layout && m_folder == folder)
            return Fit::take;
        if (m_layoutFixed)
            return Fit::skip;
        fail(tr("The archive member \u201c%1\u201d lies outside the archive\u2019s one folder.")
                 .arg(printableText(name)));
        return Fit::refuse;
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
        // A set-ID bit has no place on an icon; like a device or a pipe it is refused, not dropped.
        if ((type != AE_IFREG && !isFolder) || archive_entry_symlink(entry) || archive_entry_hardlink(entry)
            || (archive_entry_perm(entry) & (S_ISUID | S_ISGID)) != 0)
            return fail(tr("The archive member \u201c%1\u201d is not a regular file.").arg(printableText(name)));
        if (archive_entry_is_encrypted(entry))
            return fail(tr("The archive member \u201c%1\u201d is encrypted.").arg(printableText(name)));

        QString path = name;
        if (isFolder && path.endsWith(u'/'))
            path.chop(1);
        const QStringList parts = path.split(u'/');
        for (const QString &part : parts) {
            if (!isPlainFileName(part))
                return refuseName(name);
        }
        if (isSkipped(parts, isFolder))
            return true;

        if (isFolder) {
            const Fit fit = settle(Layout::folder, parts.first(), name);
            if (fit != Fit::take)
                return fit == Fit::skip;
            if (m_sawFolderEntry)
                return fail(tr("The archive holds the member \u201c%1\u201d twice.").arg(printableText(name)));
            m_sawFolderEntry = true;
            return true;
        }

        const Fit fit
            = parts.size() == 1 ? settle(Layout::root, QString(), name) : settle(Layout::folder, parts.first(), name);
        if (fit != Fit::take)
            return fit == Fit::skip;
        return writeFile(handle, entry, name, parts.last());
    }

    bool writeFailed(const QString &memberName, int error)
    {
        return fail(tr("The archive member \u201c%1\u201d could not be written: %2")
                        .arg(printableText(memberName), QString::fromLocal8Bit(std::strerror(error))));
    }

    // Every byte goes straight to the file descriptor and every step is checked, close included: a
    // buffered write that fails only at its flush would leave an empty icon reported as unpacked.
    bool writeFile(archive *handle, archive_entry *entry, const QString &memberName, const QString &fileName)
    {
        if (m_names.contains(fileName))
            return fail(tr("The archive holds the member \u201c%1\u201d twice.").arg(printableText(memberName)));
        m_names.insert(fileName);
        const ImageKind kind = imageKindOf(fileName);

        // O_EXCL never follows or replaces what is already there.
        const int fd = ::open(QFile::encodeName(m_destination.filePath(fileName)).constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0)
            return writeFailed(memberName, errno);
        m_written.append(fileName);
        FileCloser closer { fd };

        constexpr qsizetype chunkBytes = qsizetype(64) << 10;
        QByteArray buffer(chunkBytes, Qt::Uninitialized);
        // The first bytes are held back until they show the image the name promises, so that a
        // member of zeros named like an icon is refused before any of it is kept.
        QByteArray head;
        bool signatureSeen = kind.signature.isEmpty();
        qint64 memberBytes = 0;
        for (;;) {
            const la_ssize_t read = archive_read_data(handle, buffer.data(), size_t(buffer.size()));
            if (read == 0)
                break;
            if (read < 0)
                return fail(tr("The archive member \u201c%1\u201d could not be read: %2")
                                .arg(printableText(memberName), archiveError(handle)));
            m_unpackedBytes += read;
            if (m_unpackedBytes > m_limits.maxUnpackedBytes)
                return fail(tr("The archive unpacks to more than %1 bytes.").arg(m_limits.maxUnpackedBytes));
            QByteArrayView chunk(buffer.constData(), read);
            if (!signatureSeen) {
                head += chunk;
                if (head.size() < kind.signature.size())
                    continue;
                if (!head.startsWith(kind.signature))
                    return refuseImage(memberName, kind);
                signatureSeen = true;
                chunk = head;
            }
            int error = 0;
            if (!writeToDescriptor(fd, chunk, &error))
                return writeFailed(memberName, error);
            memberBytes += chunk.size();
        }
        if (!signatureSeen)
            return refuseImage(memberName, kind);
        if (::close(std::exchange(closer.fd, -1)) != 0)
            return writeFailed(memberName, errno);
        if (archive_entry_size_is_set(entry) && memberBytes != archive_entry_size(entry))
            return fail(tr("The archive member \u201c%1\u201d could not be read: it holds %2 of its %3 bytes.")
                            .arg(printableText(memberName))
                            .arg(memberBytes)
                            .arg(archive_entry_size(entry)));
        return true;
    }

    bool refuseImage(const QString &memberName, const ImageKind &kind)
    {
        return fail(
            tr("The archive member \u201c%1\u201d holds no %2 image.").arg(printableText(memberName), kind.name));
    }

    QDir m_destination;
    ZipArchive::Limits m_limits;
    Layout m_layout = Layout::unknown;
    QString m_folder;
    bool m_layoutFixed = false;
    bool m_sawFolderEntry = false;
    QSet<QString> m_names;
    QStringList m_written;
    qint64 m_unpackedBytes = 0;
    QString m_errorMessage;
};

} // namespace

bool ZipArchive::unpackFile(
    const QString &path, const QString &destination, const Limits &limits, QString *errorMessage)
{
    QFile file(path);
    // Mapped, not read: a body of hundreds of megabytes costs no memory of its own.
    const uchar *mapped = file.open(QIODevice::ReadOnly) && file.size() > 0 ? file.map(0, file.size()) : nullptr;
    if (!mapped && file.size() > 0) {
        if (errorMessage)
            *errorMessage = tr("The archive could not be read: %1").arg(file.errorString());
        return false;
    }
    return unpack(QByteArrayView(mapped, mapped ? file.size() : 0), destination, limits, errorMessage);
}

bool ZipArchive::unpack(QByteArrayView bytes, const QString &destination, const Limits &limits, QString *errorMessage)
{
    Unpacker unpacker(destination, limits);
    if (unpacker.run(bytes))
        return true;
    unpacker.removeWritten();
    if (errorMessage)
        *errorMessage = unpacker.errorMessage();
    return false;
}
