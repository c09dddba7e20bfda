// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/imagebytes.h"

#include "platform/files/storedfile.h"

namespace {

// What a stored picture's header is first looked for in; most headers take a few hundred bytes.
constexpr qsizetype firstHeaderRead = 4096;
// Each further try reads this many times as much, up to the whole picture.
constexpr qsizetype headerReadGrowth = 16;

} // namespace

ImageBytes ImageBytes::inMemory(QByteArray bytes)
{
    ImageBytes result;
    result.m_bytes = std::move(bytes);
    return result;
}

ImageBytes ImageBytes::inFile(std::shared_ptr<const StoredFile> file, QByteArray start)
{
    ImageBytes result;
    result.m_bytes = std::move(start);
    result.m_file = std::move(file);
    return result;
}

qsizetype ImageBytes::size() const
{
    return m_file ? qsizetype(m_file->size()) : m_bytes.size();
}

std::optional<QByteArray> ImageBytes::read(qsizetype offset, qsizetype length) const
{
    if (offset < 0 || length < 0 || offset > size() || length > size() - offset)
        return std::nullopt;
    if (length <= m_bytes.size() - offset)
        return QByteArray::fromRawData(m_bytes.constData() + offset, length);
    return m_file->read(offset, length);
}

std::optional<ImageHeader> ImageBytes::pictureHeader(ImageSlice slice, bool png) const
{
    qsizetype wanted = m_file ? qMin(slice.length, firstHeaderRead) : slice.length;
    while (true) {
        const std::optional<QByteArray> start = read(slice.offset, wanted);
        if (!start)
            return std::nullopt;
        bool needsMore = false;
        std::optional<ImageHeader> header = png ? ImageHeader::readPngStart(*start, slice.length, &needsMore)
                                                : ImageHeader::readJpeg2000Start(*start, slice.length, &needsMore);
        if (header || !needsMore || wanted == slice.length)
            return header;
        wanted = wanted > slice.length / headerReadGrowth ? slice.length : wanted * headerReadGrowth;
    }
}

std::shared_ptr<const ImageSource> ImageBytes::source(
    ImageSource::Kind kind, ImageSlice data, QSize pixelSize, QSizeF pointSize, ImageSlice mask) const
{
    if (m_file)
        return std::make_shared<const ImageSource>(kind, m_file, data, pixelSize, pointSize, mask);
    return std::make_shared<const ImageSource>(kind, m_bytes, data, pixelSize, pointSize, mask);
}
