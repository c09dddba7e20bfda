// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QSizeF>

#include <atomic>
#include <memory>
#include <optional>

class StoredFile;

// Where a picture lies in its file.
struct ImageSlice
{
    qsizetype offset = 0;
    qsizetype length = 0;
};

// What one representation decodes from: the whole file's bytes (shared, never copied) or the
// stored file that holds them (read when decoding), the slice that holds this picture, and what
// kind of data the slice is. Holds no pixels; its sizes come from headers that were checked
// against ImageLimits. A stored file that can no longer be read counts as a failed decode.
class ImageSource
{
public:
    enum class Kind {
        Png, // a PNG file
        Jpeg2000, // a JP2 file or a raw codestream
        QtReadable, // anything else QImageReader knows
        IcnsArgb, // four RLE-packed planes: alpha, red, green, blue
        IcnsRle24, // three RLE-packed planes (red, green, blue) and an optional raw 8-bit mask
    };

    using Slice = ImageSlice;

    ImageSource(Kind kind, QByteArray file, Slice data, QSize pixelSize, QSizeF pointSize, Slice mask = {});
    ImageSource(Kind kind, std::shared_ptr<const StoredFile> file, Slice data, QSize pixelSize, QSizeF pointSize,
        Slice mask = {});
    ImageSource(const ImageSource &) = delete;
    ImageSource &operator=(const ImageSource &) = delete;

    Kind kind() const { return m_kind; }
    QSize pixelSize() const { return m_pixelSize; }
    QSizeF pointSize() const { return m_pointSize; }
    // The slices of the bytes in memory; empty for a source in a stored file.
    QByteArrayView data() const;
    QByteArrayView mask() const;

    // Decodes now: ARGB32 premultiplied of exactly pixelSize(), or a null
    // image. A source that failed once is not decoded again.
    QImage decode() const;
    // Whether a decode has failed; such a source counts as absent from then on.
    bool failed() const { return m_failed.load(std::memory_order_relaxed); }
    // A key of what the source holds (kind, bytes, mask, sizes), equal for two sources read from
    // equal files: caches that must outlive a reload key by it. Never 0. Hashed on the first call
    // (a pass over the bytes), then kept; safe from any thread.
    quint64 contentKey() const;

private:
    QImage decodeOnce(QByteArrayView data, QByteArrayView mask) const;
    // A stored source's slice, read now; none when the file cannot be read.
    std::optional<QByteArray> readStored(Slice slice) const;

    Kind m_kind;
    QByteArray m_file;
    std::shared_ptr<const StoredFile> m_stored;
    Slice m_data;
    Slice m_mask;
    QSize m_pixelSize;
    QSizeF m_pointSize;
    mutable std::atomic<bool> m_failed { false };
    mutable std::atomic<quint64> m_contentKey { 0 };
};
