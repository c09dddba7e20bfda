// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/jpeg2000decoder.h"

#include "platform/images/imageheader.h"
#include "platform/images/imagelimits.h"
#include "platform/text/logging.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct MemoryStream
{
    const char *data;
    OPJ_SIZE_T size;
    OPJ_SIZE_T pos;
};

OPJ_SIZE_T readStream(void *buffer, OPJ_SIZE_T count, void *user)
{
    auto *stream = static_cast<MemoryStream *>(user);
    const OPJ_SIZE_T available = stream->size - stream->pos;
    if (available == 0)
        return OPJ_SIZE_T(-1);
    const OPJ_SIZE_T n = std::min(count, available);
    std::memcpy(buffer, stream->data + stream->pos, n);
    stream->pos += n;
    return n;
}

OPJ_OFF_T skipStream(OPJ_OFF_T count, void *user)
{
    auto *stream = static_cast<MemoryStream *>(user);
    if (count < 0) {
        const OPJ_OFF_T back = std::min<OPJ_OFF_T>(-count, OPJ_OFF_T(stream->pos));
        stream->pos -= OPJ_SIZE_T(back);
        return -back;
    }
    const OPJ_OFF_T ahead = std::min<OPJ_OFF_T>(count, OPJ_OFF_T(stream->size - stream->pos));
    stream->pos += OPJ_SIZE_T(ahead);
    return ahead;
}

OPJ_BOOL seekStream(OPJ_OFF_T to, void *user)
{
    auto *stream = static_cast<MemoryStream *>(user);
    if (to < 0 || OPJ_SIZE_T(to) > stream->size)
        return OPJ_FALSE;
    stream->pos = OPJ_SIZE_T(to);
    return OPJ_TRUE;
}

void logMessage(const char *message, void *)
{
    qCDebug(lcPlatformImage) << "openjp2:" << QByteArrayView(message).trimmed();
}

void ignoreMessage(const char *, void *) { }

struct CodecDeleter
{
    void operator()(opj_codec_t *codec) const { opj_destroy_codec(codec); }
};
struct StreamDeleter
{
    void operator()(opj_stream_t *stream) const { opj_stream_destroy(stream); }
};
struct ImageDeleter
{
    void operator()(opj_image_t *image) const { opj_image_destroy(image); }
};

// How one component maps to 8-bit samples of the picture, worked out once per component: the
// component's column for each picture column, its row for each picture row, and the 8-bit value of
// each sample value (a table while the precision is small enough for one).
struct ComponentScale
{
    std::vector<qint64> columns;
    std::vector<qint64> rows;
    qint64 offset = 0;
    qint64 maximum = 1;
    std::vector<uchar> table;

    ComponentScale(const opj_image_comp_t &comp, int width, int height)
        : columns(size_t(width))
        , rows(size_t(height))
    {
        for (int x = 0; x < width; ++x)
            columns[size_t(x)] = std::min<qint64>(qint64(x) * comp.w / width, comp.w - 1);
        for (int y = 0; y < height; ++y)
            rows[size_t(y)] = std::min<qint64>(qint64(y) * comp.h / height, comp.h - 1) * comp.w;
        const int precision = std::clamp<int>(int(comp.prec), 1, 31);
        if (comp.sgnd)
            offset = qint64(1) << (precision - 1);
        maximum = (qint64(1) << precision) - 1;
        if (precision <= 16) {
            table.resize(size_t(maximum) + 1);
            for (qint64 value = 0; value <= maximum; ++value)
                table[size_t(value)] = uchar(value * 255 / maximum);
        }
    }

    int sample(const opj_image_comp_t &comp, int x, qint64 row) const
    {
        const qint64 value = std::clamp<qint64>(qint64(comp.data[row + columns[size_t(x)]]) + offset, 0, maximum);
        return table.empty() ? int(value * 255 / maximum) : table[size_t(value)];
    }
};

// The picture's size when it and its component count are within bounds, else an empty size.
QSize boundedSize(const opj_image_t &image)
{
    const qint64 width = qint64(image.x1) - image.x0, height = qint64(image.y1) - image.y0;
    if (width <= 0 || height <= 0 || width > ImageLimits::maxSide || height > ImageLimits::maxSide || image.numcomps < 1
        || image.numcomps > 4)
        return {};
    const QSize size { int(width), int(height) };
    return ImageLimits::acceptable(size) ? size : QSize();
}

QImage toImage(const opj_image_t &image)
{
    const QSize size = boundedSize(image);
    if (size.isEmpty())
        return {};
    const qint64 width = size.width(), height = size.height();
    for (OPJ_UINT32 i = 0; i < image.numcomps; ++i) {
        const opj_image_comp_t &comp = image.comps[i];
        if (!comp.data || comp.w == 0 || comp.h == 0 || comp.w > OPJ_UINT32(width) || comp.h > OPJ_UINT32(height))
            return {};
    }
    const int channels = int(image.numcomps);
    const bool ycc = image.color_space == OPJ_CLRSPC_SYCC && channels >= 3;
    QImage result(size, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    std::vector<ComponentScale> scales;
    scales.reserve(size_t(channels));
    for (int i = 0; i < channels; ++i)
        scales.emplace_back(image.comps[i], size.width(), size.height());
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        qint64 rows[4] = {};
        for (int i = 0; i < channels; ++i)
            rows[i] = scales[size_t(i)].rows[size_t(y)];
        for (int x = 0; x < size.width(); ++x) {
            int c[4] = { 0, 0, 0, 255 };
            for (int i = 0; i < channels; ++i)
                c[i] = scales[size_t(i)].sample(image.comps[i], x, rows[i]);
            int r = c[0], g = c[1], b = c[2], a = c[3];
            if (channels <= 2) {
                a = channels == 2 ? c[1] : 255;
                g = b = r;
            } else if (ycc) {
                const double cb = c[1] - 128.0, cr = c[2] - 128.0;
                r = std::clamp(int(c[0] + 1.402 * cr), 0, 255);
                g = std::clamp(int(c[0] - 0.344136 * cb - 0.714136 * cr), 0, 255);
                b = std::clamp(int(c[0] + 1.772 * cb), 0, 255);
            }
            line[x] = qPremultiply(qRgba(r, g, b, a));
        }
    }
    return result;
}

} // namespace

QImage Jpeg2000Decoder::decode(QByteArrayView data)
{
    // Our own header check first: it bounds the size before openjp2 allocates anything.
    if (!ImageHeader::readJpeg2000(data))
        return {};
    const bool jp2 = data.startsWith(QByteArrayView("\x00\x00\x00\x0c", 4));
    std::unique_ptr<opj_codec_t, CodecDeleter> codec(opj_create_decompress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    if (!codec)
        return {};
    opj_set_info_handler(codec.get(), ignoreMessage, nullptr);
    opj_set_warning_handler(codec.get(), ignoreMessage, nullptr);
    opj_set_error_handler(codec.get(), logMessage, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters) || !opj_decoder_set_strict_mode(codec.get(), OPJ_TRUE))
        return {};

    MemoryStream memory { data.data(), OPJ_SIZE_T(data.size()), 0 };
    std::unique_ptr<opj_stream_t, StreamDeleter> stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE));
    if (!stream)
        return {};
    opj_stream_set_user_data(stream.get(), &memory, nullptr);
    opj_stream_set_user_data_length(stream.get(), memory.size);
    opj_stream_set_read_function(stream.get(), readStream);
    opj_stream_set_skip_function(stream.get(), skipStream);
    opj_stream_set_seek_function(stream.get(), seekStream);

    opj_image_t *raw = nullptr;
    if (!opj_read_header(stream.get(), codec.get(), &raw)) {
        opj_image_destroy(raw);
        return {};
    }
    std::unique_ptr<opj_image_t, ImageDeleter> image(raw);
    if (boundedSize(*image).isEmpty())
        return {};
    if (!opj_decode(codec.get(), stream.get(), image.get()) || !opj_end_decompress(codec.get(), stream.get()))
        return {};
    return toImage(*image);
}
