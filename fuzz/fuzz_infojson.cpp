// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes arbitrary bytes as info.json; whatever decodes must encode, and decode again to the same
// stored fields. Whatever the one-pass reader takes, the full reader must read to the same fields.

#include "model/containerjson.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

bool sameFields(const IconContainer &a, const IconContainer &b)
{
    const auto sameColor = [](const std::optional<RGBAColor> &x, const std::optional<RGBAColor> &y) {
        if (x.has_value() != y.has_value())
            return false;
        return !x || (x->red == y->red && x->green == y->green && x->blue == y->blue && x->alpha == y->alpha);
    };
    if (a.title != b.title || a.collectionID != b.collectionID || a.collectionVersion != b.collectionVersion
        || a.authorName != b.authorName || a.authorURL != b.authorURL || a.authorEmail != b.authorEmail
        || a.authoringLock != b.authoringLock || !sameColor(a.backgroundColor, b.backgroundColor)
        || a.containerVersion != b.containerVersion || a.copyright != b.copyright || a.customIcon != b.customIcon
        || a.icons.size() != b.icons.size())
        return false;
    for (qsizetype i = 0; i < a.icons.size(); ++i) {
        const Icon &x = a.icons.at(i);
        const Icon &y = b.icons.at(i);
        if (x.name != y.name || x.type != y.type || x.author != y.author || x.copyright != y.copyright
            || x.authorURL != y.authorURL || x.filename != y.filename || x.icnsData || x.imageData
            || !x.previewReps().isEmpty())
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto scanned = scanContainerJson(input)) {
        const auto full = decodeContainerJsonDocument(input);
        if (!full || !sameFields(*scanned, full.value()))
            std::abort();
    }
    const auto first = decodeContainerJson(input);
    if (!first)
        return 0;
    const auto encoded = encodeContainerJson(first.value());
    if (!encoded)
        std::abort(); // a decoded container always has finite colours
    const auto second = decodeContainerJson(encoded.value());
    if (!second || !sameFields(first.value(), second.value()))
        std::abort();
    return 0;
}
