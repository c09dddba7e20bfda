// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/instancelock.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString InstanceLock::path()
{
    // Qt falls back to a folder of the user's own under /tmp when the session names none; empty
    // when not even that can be had.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QString() : QDir(runtime).filePath(u"glimbar-instance.lock"_s);
}

InstanceLock::State InstanceLock::tryAcquire()
{
    if (m_fd >= 0)
        return State::held;
    const QString file = path();
    if (file.isEmpty())
        return State::unavailable;
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return State::unavailable;
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_fd = fd;
        return State::held;
    }
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? State::heldElsewhere : State::unavailable;
}
