// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/icondata.h"

#include "platform/files/storedfile.h"

struct IconData::Stored
{
    std::shared_ptr<const StoredFile> file;
    PlatformImage image;
};

IconData::IconData(QByteArray bytes)
    : m_bytes(std::move(bytes))
{ }

IconData::IconData(std::optional<QByteArray> bytes)
    : m_bytes(std::move(bytes))
{ }

IconData::IconData(std::shared_ptr<const StoredFile> file, PlatformImage image)
{
    if (file)
        m_stored = std::make_shared<const Stored>(Stored { std::move(file), std::move(image) });
}

std::optional<QByteArray> IconData::read(QString *errorMessage) const
{
    if (m_stored)
        return m_stored->file->readAll(errorMessage);
    return m_bytes;
}

QByteArray IconData::valueOr(const QByteArray &fallback) const
{
    return read().value_or(fallback);
}

const PlatformImage &IconData::storedImage() const
{
    static const PlatformImage none;
    return m_stored ? m_stored->image : none;
}
