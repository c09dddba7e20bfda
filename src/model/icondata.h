// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/images/platformimage.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class StoredFile;

// One of an icon's data fields: no data, bytes held in memory (an import, a download), or the
// contents of a stored file that a library load found, read when asked for and never kept here.
// A plain value: copies share the bytes or the file. Reading is safe from any thread; a stored file
// replaced, changed or removed since the load reads as no data, never as other bytes.
class IconData
{
public:
    IconData() = default;
    IconData(std::nullopt_t) { }
    IconData(QByteArray bytes);
    IconData(std::optional<QByteArray> bytes);
    // The contents of `file`, whose headers gave `image` (null when they tell of no image).
    IconData(std::shared_ptr<const StoredFile> file, PlatformImage image);

    // Whether the field holds data: bytes, or a file, even one that can no longer be read.
    explicit operator bool() const { return m_bytes.has_value() || m_stored != nullptr; }
    // The bytes; none when the field holds none or its file cannot be read as it was found (then
    // `errorMessage` says why).
    std::optional<QByteArray> read(QString *errorMessage = nullptr) const;
    // read(), or empty bytes.
    QByteArray operator*() const { return valueOr(QByteArray()); }
    // read(), or `fallback`.
    QByteArray valueOr(const QByteArray &fallback) const;

    // Whether the data lies in a stored file.
    bool isStored() const { return m_stored != nullptr; }
    // What the stored file's headers tell; a null image for bytes in memory.
    const PlatformImage &storedImage() const;

    // Equal when both give no bytes, or the same bytes.
    friend bool operator==(const IconData &a, const std::optional<QByteArray> &b) { return a.read() == b; }

private:
    struct Stored;
    std::optional<QByteArray> m_bytes;
    std::shared_ptr<const Stored> m_stored;
};
