// SPDX-License-Identifier: GPL-3.0-or-later
// Image bytes from strangers: read the headers, decode every representation, choose some.

#include "platform/images/imagecache.h"
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
    ImageCache cache;
    for (const ImageRep &rep : image->representations()) {
        const QImage pixels = rep.bitmap(cache);
        if (!pixels.isNull() && pixels.size() != rep.pixelSize())
            __builtin_trap();
    }
    for (double points : { 1.0, 16.0, 32.0, 100.5, 512.0, 4096.0 }) {
        if (const std::optional<ImageRep> rep = image->bestRepresentation(points))
            PlatformImage::fromRepresentation(*rep, QSizeF(points, points)).bitmap(cache, 2.0);
    }
    return 0;
}
