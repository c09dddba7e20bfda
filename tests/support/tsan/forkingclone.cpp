// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into the tests of the thread-sanitizer build only. Qt starts a child process with a
// vfork-like clone() (CLONE_VM | CLONE_VFORK). The sanitizer's clone() runs its after-fork
// bookkeeping in the child, which shares the parent's memory, so the parent's own state is spoiled:
// its internal locks are released twice, the calling thread stops seeing synchronisation (false
// races later) and the next thread it starts kills the process. Such a call becomes a plain fork()
// here, which the sanitizer models soundly; the child still only runs the given function (which
// execs or exits), as Qt's own fork fallback does. Every other clone() goes on unchanged.

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <dlfcn.h>
#include <sched.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using CloneFunction = int (*)(int (*)(void *), void *, int, void *, pid_t *, void *, pid_t *);

bool isVforkLike(int flags)
{
    constexpr int vfork = CLONE_VM | CLONE_VFORK;
    constexpr int known = vfork | CLONE_PIDFD | CSIGNAL;
    return (flags & vfork) == vfork && (flags & ~known) == 0 && (flags & CSIGNAL) == SIGCHLD;
}

int forkInstead(int (*function)(void *), int flags, void *argument, pid_t *parentTid)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(function(argument));
    if (pid < 0 || !(flags & CLONE_PIDFD))
        return pid;
    const int pidfd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0) {
        const int error = errno;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        errno = error;
        return -1;
    }
    *reinterpret_cast<int *>(parentTid) = pidfd;
    return pid;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int clone(
    int (*function)(void *), void *stack, int flags, void *argument, ...)
{
    va_list rest;
    va_start(rest, argument);
    pid_t *parentTid = va_arg(rest, pid_t *);
    void *tls = va_arg(rest, void *);
    pid_t *childTid = va_arg(rest, pid_t *);
    va_end(rest);
    if (isVforkLike(flags))
        return forkInstead(function, flags, argument, parentTid);
    static const auto next = reinterpret_cast<CloneFunction>(::dlsym(RTLD_NEXT, "clone"));
    return next(function, stack, flags, argument, parentTid, tls, childTid);
}
