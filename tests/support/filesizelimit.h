// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/resource.h>

// While it lives, every write past `bytes` into any file fails (EFBIG), for root as for anyone:
// the way tests make a write fail part-way.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved {};
    void (*m_previousHandler)(int) = nullptr;
};
