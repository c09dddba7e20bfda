// SPDX-License-Identifier: GPL-3.0-or-later
// Loaded with LD_PRELOAD into a writer, it makes the file system look like one whose renameat2()
// refuses every flag (EINVAL), as some network and FUSE file systems do, and it can kill the process
// at a chosen point of a save:
//
//   GLIMBAR_KILL_BEFORE_RENAME=N  before the Nth rename() that names one of our hidden members
//   GLIMBAR_KILL_BEFORE_FSYNC=N   before the Nth fsync()
//
// The real calls go straight to the kernel, so nothing here depends on the C library's internals.

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<long> renames { 0 };
std::atomic<long> fsyncs { 0 };

void killAt(const char *variable, std::atomic<long> &counter)
{
    const char *value = std::getenv(variable);
    const long count = ++counter;
    if (value && std::atol(value) == count)
        ::raise(SIGKILL);
}

bool namesHidden(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    return std::strncmp(slash ? slash + 1 : path, ".glimbar-", 9) == 0;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int renameat2(
    int oldDirectory, const char *oldPath, int newDirectory, const char *newPath, unsigned int flags)
{
    if (flags != 0) {
        errno = EINVAL;
        return -1;
    }
    return int(::syscall(SYS_renameat2, oldDirectory, oldPath, newDirectory, newPath, 0u));
}

__attribute__((visibility("default"))) int rename(const char *oldPath, const char *newPath)
{
    if (namesHidden(oldPath) || namesHidden(newPath))
        killAt("GLIMBAR_KILL_BEFORE_RENAME", renames);
    return int(::syscall(SYS_renameat2, AT_FDCWD, oldPath, AT_FDCWD, newPath, 0u));
}

__attribute__((visibility("default"))) int fsync(int fd)
{
    killAt("GLIMBAR_KILL_BEFORE_FSYNC", fsyncs);
    return int(::syscall(SYS_fsync, fd));
}
}
