// SPDX-License-Identifier: GPL-3.0-or-later
// Unpacks arbitrary bytes as a downloaded archive into a fresh folder, then checks what the unpacker
// promises: nothing appears beside the folder, only regular files with plain names appear in it,
// and a refused archive leaves it empty.

#include "platform/archives/ziparchive.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

constexpr auto everyEntry = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

// Smaller than the download's limits, so that each input stays quick; the checks do not depend on them.
constexpr ZipArchive::Limits limits { 500, qint64(32) << 20 };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QTemporaryDir root;
    if (!root.isValid())
        return 0;
    const QString destination = root.filePath(u"dest"_s);
    if (!QDir().mkdir(destination))
        return 0;

    const bool unpacked = ZipArchive::unpack(bytes, destination, limits);

    if (QDir(root.path()).entryList(everyEntry) != QStringList { u"dest"_s })
        std::abort();
    const QFileInfoList members = QDir(destination).entryInfoList(everyEntry);
    if (!unpacked && !members.isEmpty())
        std::abort();
    for (const QFileInfo &member : members) {
        if (member.isSymLink() || !member.isFile() || member.fileName().startsWith(u'.'))
            std::abort();
    }
    return 0;
}
