// SPDX-License-Identifier: GPL-3.0-or-later
// Image bytes from strangers: read the headers, decode every representation, choose some.

#include "platform/images/platformimage.h"

#include <QCoreApplication>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Qt's image plugins are found through the application object; their complaints about
    // damaged data would drown the fuzzer's own output.
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<PlatformImage> image = PlatformImage::fromData(bytes);
    if (!image)
        return 0;
    for (const ImageRep &rep : image->representations()) {
        const QImage pixels = rep.decodedBitmap();
        if (!pixels.isNull() && pixels.size() != rep.pixelSize())
            __builtin_trap();
    }
    // As a view's thumbnails draw them, from fresh representations (the loop above marked the
    // damaged ones), so that the next-best fallback is reached too.
    const std::optional<PlatformImage> fresh = PlatformImage::fromData(bytes);
    for (int side : { 1, 16, 32, 201, 512 }) {
        const QImage picture = PlatformImage::fittedBitmap(fresh->representations(), side);
        if (!picture.isNull() && (picture.width() > side || picture.height() > side))
            __builtin_trap();
    }
    return 0;
}
