// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The kernel's change notices for the members of one folder, as a file manager watching it gets
// them. A notice is queued when the call that caused it returns, so it can be read at once.
class InotifyWatch
{
public:
    // Watches `folder` for the events in `mask` (IN_ATTRIB, …).
    InotifyWatch(const QString &folder, quint32 mask);
    ~InotifyWatch();

    InotifyWatch(const InotifyWatch &) = delete;
    InotifyWatch &operator=(const InotifyWatch &) = delete;

    bool isValid() const { return m_watch >= 0; }
    // The names of the members whose events arrived since the last call, in order of arrival.
    QStringList takeNames();

private:
    int m_fd = -1;
    int m_watch = -1;
};
