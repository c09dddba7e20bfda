// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/jpeg2000encoder.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct Output
{
    QByteArray bytes;
    qsizetype pos = 0;
};

OPJ_SIZE_T writeOutput(void *buffer, OPJ_SIZE_T count, void *user)
{
    auto *out = static_cast<Output *>(user);
    const qsizetype end = out->pos + qsizetype(count);
    if (end > out->bytes.size())
        out->bytes.resize(end);
    std::memcpy(out->bytes.data() + out->pos, buffer, count);
    out->pos = end;
    return count;
}

OPJ_OFF_T skipOutput(OPJ_OFF_T count, void *user)
{
    auto *out = static_cast<Output *>(user);
    out->pos = std::max<qsizetype>(0, out->pos + qsizetype(count));
    if (out->pos > out->bytes.size())
        out->bytes.resize(out->pos, '\0');
    return count;
}

OPJ_BOOL seekOutput(OPJ_OFF_T to, void *user)
{
    auto *out = static_cast<Output *>(user);
    out->pos = qsizetype(to);
    if (out->pos > out->bytes.size())
        out->bytes.resize(out->pos, '\0');
    return OPJ_TRUE;
}

void quiet(const char *, void *) { }

} // namespace

QByteArray Jpeg2000Encoder::encode(const QImage &source, Container container)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    opj_image_cmptparm_t parameters[4];
    std::memset(parameters, 0, sizeof parameters);
    for (auto &component : parameters) {
        component.dx = component.dy = 1;
        component.w = OPJ_UINT32(image.width());
        component.h = OPJ_UINT32(image.height());
        component.prec = 8;
        component.sgnd = 0;
    }
    std::unique_ptr<opj_image_t, void (*)(opj_image_t *)> picture(
        opj_image_create(4, parameters, OPJ_CLRSPC_SRGB), opj_image_destroy);
    if (!picture)
        return {};
    picture->x1 = OPJ_UINT32(image.width());
    picture->y1 = OPJ_UINT32(image.height());
    picture->comps[3].alpha = 1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int i = y * image.width() + x;
            picture->comps[0].data[i] = qRed(pixel);
            picture->comps[1].data[i] = qGreen(pixel);
            picture->comps[2].data[i] = qBlue(pixel);
            picture->comps[3].data[i] = qAlpha(pixel);
        }
    }

    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_numlayers = 1;
    settings.tcp_rates[0] = 0; // lossless
    settings.cp_disto_alloc = 1;
    int levels = 1;
    while (levels < 6 && (std::min(image.width(), image.height()) >> levels) >= 1)
        ++levels;
    settings.numresolution = levels;

    std::unique_ptr<opj_codec_t, void (*)(opj_codec_t *)> codec(
        opj_create_compress(container == Container::jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K), opj_destroy_codec);
    opj_set_info_handler(codec.get(), quiet, nullptr);
    opj_set_warning_handler(codec.get(), quiet, nullptr);
    opj_set_error_handler(codec.get(), quiet, nullptr);
    if (!opj_setup_encoder(codec.get(), &settings, picture.get()))
        return {};
    Output output;
    std::unique_ptr<opj_stream_t, void (*)(opj_stream_t *)> stream(
        opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE), opj_stream_destroy);
    opj_stream_set_user_data(stream.get(), &output, nullptr);
    opj_stream_set_write_function(stream.get(), writeOutput);
    opj_stream_set_skip_function(stream.get(), skipOutput);
    opj_stream_set_seek_function(stream.get(), seekOutput);
    if (!opj_start_compress(codec.get(), picture.get(), stream.get()) || !opj_encode(codec.get(), stream.get())
        || !opj_end_compress(codec.get(), stream.get()))
        return {};
    stream.reset();
    return output.bytes;
}
