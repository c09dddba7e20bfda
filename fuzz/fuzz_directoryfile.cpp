// SPDX-License-Identifier: GPL-3.0-or-later
// Edits arbitrary bytes as a folder's ".directory": setting our icon is stable, and taking it out
// again leaves no line that names a picture of ours.

#include "platform/desktop/foldericonfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray value = "./" + FolderIconFile::pictureName(content).toUtf8();
    if (!FolderIconFile::isOurIconValue(value))
        std::abort();
    const QByteArray set = FolderIconFile::withIcon(content, value);
    if (FolderIconFile::withIcon(set, value) != set)
        std::abort();
    QList<QByteArray> removed;
    const QByteArray cleared = FolderIconFile::withoutOurIcon(set, &removed);
    if (removed.isEmpty() || !removed.contains(value))
        std::abort();
    QList<QByteArray> again;
    if (FolderIconFile::withoutOurIcon(cleared, &again) != cleared || !again.isEmpty())
        std::abort();
    return 0;
}
