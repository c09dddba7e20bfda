// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the older-archive reader, then walks what it gives through every
// conversion the import uses.

#include "platform/archives/typedstreamreader.h"

#include <cstddef>
#include <cstdint>

namespace {

// Shared objects can make a small archive a very wide tree; the walk stops after this many values.
constexpr int visitBudget = 20000;

void walk(const ArchivedValue &value, int &budget)
{
    if (--budget < 0)
        return;
    (void)value.kind();
    (void)value.numberEncoding();
    (void)value.numberValue();
    (void)value.toString();
    (void)value.toBytes();
    (void)value.toBool();
    (void)value.toDouble();
    (void)value.toStringList();
    (void)value.toDoubleList();
    (void)value.value(u"Icons");
    if (const auto elements = value.toArray()) {
        for (const ArchivedValue &element : *elements)
            walk(element, budget);
    }
    if (const auto pairs = value.toDictionary()) {
        for (const auto &[key, element] : *pairs) {
            walk(key, budget);
            walk(element, budget);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const std::optional<ArchivedValue> root = TypedStreamReader::read(bytes)) {
        int budget = visitBudget;
        walk(*root, budget);
    }
    return 0;
}
