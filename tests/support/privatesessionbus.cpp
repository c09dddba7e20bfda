// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/privatesessionbus.h"

#include <QFile>

// GLib names a struct member `signals`, which Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

using namespace Qt::Literals::StringLiterals;

PrivateSessionBus::PrivateSessionBus(const QString &dataHome)
{
    // The daemon and everything it activates inherit the environment, so set it before starting.
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_daemon.start(u"dbus-daemon"_s, { u"--session"_s, u"--nofork"_s, u"--print-address"_s });
    if (!m_daemon.waitForStarted(10000)) {
        m_error = u"cannot start dbus-daemon: "_s + m_daemon.errorString();
        return;
    }
    while (!m_daemon.canReadLine()) {
        if (!m_daemon.waitForReadyRead(10000)) {
            m_error = u"dbus-daemon printed no address"_s;
            return;
        }
    }
    const QByteArray address = m_daemon.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    m_address = QString::fromUtf8(address);
}

PrivateSessionBus::~PrivateSessionBus()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    // GIO ends a process whose session bus goes away; this one goes away on purpose.
    if (isRunning()) {
        if (GDBusConnection *connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
            g_dbus_connection_set_exit_on_close(connection, false);
            g_object_unref(connection);
        }
    }
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000)) {
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
}
