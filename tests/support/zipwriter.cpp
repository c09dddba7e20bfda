// SPDX-License-Identifier: GPL-3.0-or-later
#include "zipwriter.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace {

struct WriterDeleter
{
    void operator()(archive *handle) const { archive_write_free(handle); }
};

struct EntryDeleter
{
    void operator()(archive_entry *entry) const { archive_entry_free(entry); }
};

la_ssize_t appendBytes(archive *, void *clientData, const void *buffer, size_t length)
{
    static_cast<QByteArray *>(clientData)->append(static_cast<const char *>(buffer), qsizetype(length));
    return la_ssize_t(length);
}

} // namespace

ZipWriter &ZipWriter::file(const QByteArray &name, const QByteArray &contents)
{
    m_entries.append({ Kind::file, name, contents });
    return *this;
}

ZipWriter &ZipWriter::zeros(const QByteArray &name, qint64 zeros, const QByteArray &head)
{
    m_entries.append({ Kind::file, name, head, zeros });
    return *this;
}

ZipWriter &ZipWriter::folder(const QByteArray &name)
{
    m_entries.append({ Kind::folder, name, {} });
    return *this;
}

ZipWriter &ZipWriter::symlink(const QByteArray &name, const QByteArray &target)
{
    m_entries.append({ Kind::symlink, name, target });
    return *this;
}

ZipWriter &ZipWriter::encrypted()
{
    m_encrypted = true;
    return *this;
}

QByteArray ZipWriter::build() const
{
    QByteArray bytes;
    const std::unique_ptr<archive, WriterDeleter> handle(archive_write_new());
    archive_write_set_format_zip(handle.get());
    archive_write_set_bytes_in_last_block(handle.get(), 1);
    if (m_encrypted
        && (archive_write_set_options(handle.get(), "zip:encryption=zipcrypt") != ARCHIVE_OK
            || archive_write_set_passphrase(handle.get(), "secret") != ARCHIVE_OK))
        return {};
    if (archive_write_open(handle.get(), &bytes, nullptr, appendBytes, nullptr) != ARCHIVE_OK)
        return {};
    for (const Entry &entry : m_entries) {
        const std::unique_ptr<archive_entry, EntryDeleter> header(archive_entry_new());
        archive_entry_set_pathname(header.get(), entry.name.constData());
        switch (entry.kind) {
        case Kind::file:
            archive_entry_set_filetype(header.get(), AE_IFREG);
            archive_entry_set_perm(header.get(), 0644);
            archive_entry_set_size(header.get(), entry.data.size() + entry.zeros);
            break;
        case Kind::folder:
            archive_entry_set_filetype(header.get(), AE_IFDIR);
            archive_entry_set_perm(header.get(), 0755);
            break;
        case Kind::symlink:
            archive_entry_set_filetype(header.get(), AE_IFLNK);
            archive_entry_set_perm(header.get(), 0777);
            archive_entry_set_symlink(header.get(), entry.data.constData());
            break;
        }
        if (archive_write_header(handle.get(), header.get()) != ARCHIVE_OK)
            return {};
        if (entry.kind == Kind::file && !entry.data.isEmpty()
            && archive_write_data(handle.get(), entry.data.constData(), size_t(entry.data.size())) < 0)
            return {};
        const QByteArray zeros(qMin<qint64>(entry.zeros, qint64(1) << 20), '\0');
        for (qint64 left = entry.zeros; left > 0; left -= zeros.size()) {
            if (archive_write_data(handle.get(), zeros.constData(), size_t(qMin<qint64>(left, zeros.size()))) < 0)
                return {};
        }
    }
    if (archive_write_close(handle.get()) != ARCHIVE_OK)
        return {};
    return bytes;
}
