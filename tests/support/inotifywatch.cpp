// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/inotifywatch.h"

#include <QFile>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

InotifyWatch::InotifyWatch(const QString &folder, quint32 mask)
    : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_fd >= 0)
        m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), mask);
}

InotifyWatch::~InotifyWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QStringList InotifyWatch::takeNames()
{
    QStringList names;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length <= 0)
            return names;
        for (ssize_t offset = 0; offset < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
            if (event->len > 0)
                names.append(QFile::decodeName(event->name));
            offset += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
}
