// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>

// A D-Bus session bus of the test's own, so that GIO's file metadata (the gvfs daemons, started on
// demand by this bus) works without a desktop and keeps its store under `dataHome` instead of the
// user's. Make it before the first GIO call of the process: GIO reads DBUS_SESSION_BUS_ADDRESS
// and XDG_DATA_HOME once. Stopping the bus ends the daemons it started; the destructor returns once
// the metadata daemon has left, so that its store can be removed.
class PrivateSessionBus
{
public:
    explicit PrivateSessionBus(const QString &dataHome);
    ~PrivateSessionBus();

    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    // Why the bus did not start.
    QString errorString() const { return m_error; }

private:
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};

// The file's custom icon as GIO's own tool reports it, the way a file manager sees it; empty when
// unset, "gio failed" when the tool fails.
QString customIconSeenByGio(const QString &path);
