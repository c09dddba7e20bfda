// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fileiconsetter.h"

#include "platform/giofileiconsetter.h"

#include <atomic>

namespace {

std::atomic<FileIconSetter *> replacement { nullptr };

} // namespace

FileIconSetter &FileIconSetter::shared()
{
    if (auto *setter = replacement.load())
        return *setter;
    static GioFileIconSetter gioSetter;
    return gioSetter;
}

void FileIconSetter::setShared(FileIconSetter *setter)
{
    replacement.store(setter);
}
