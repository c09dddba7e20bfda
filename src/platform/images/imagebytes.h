// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/images/imageheader.h"
#include "platform/images/imagesource.h"

#include <QByteArray>

#include <memory>
#include <optional>

class StoredFile;

// The bytes an image's headers are read from: a file's contents in memory, or a stored file with
// its first bytes, of which only what the headers need is read. The representations made from it
// decode from the same place.
class ImageBytes
{
public:
    static ImageBytes inMemory(QByteArray bytes);
    static ImageBytes inFile(std::shared_ptr<const StoredFile> file, QByteArray start);

    qsizetype size() const;
    // `length` bytes from `offset` (in memory: a view, no copy); none when they lie outside the
    // bytes or cannot be read.
    std::optional<QByteArray> read(qsizetype offset, qsizetype length) const;
    // The header of the PNG (`png`) or JPEG 2000 picture in `slice`, as ImageHeader reads it from
    // the whole slice; of a stored file only the start that holds the header is read.
    std::optional<ImageHeader> pictureHeader(ImageSlice slice, bool png) const;
    // A source that decodes `data` (and `mask`) of these bytes.
    std::shared_ptr<const ImageSource> source(
        ImageSource::Kind kind, ImageSlice data, QSize pixelSize, QSizeF pointSize, ImageSlice mask = {}) const;

private:
    QByteArray m_bytes; // all of them, or a stored file's start
    std::shared_ptr<const StoredFile> m_file;
};
