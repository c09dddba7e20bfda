// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/privatesessionbus.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <csignal>

// GLib names a struct member `signals`, which Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

using namespace Qt::Literals::StringLiterals;

namespace {

// The process that owns `name` on the bus; 0 when nobody does.
pid_t ownerOf(GDBusConnection *connection, const char *name)
{
    GVariant *reply = g_dbus_connection_call_sync(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus",
        "org.freedesktop.DBus", "GetConnectionUnixProcessID", g_variant_new("(s)", name), G_VARIANT_TYPE("(u)"),
        G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (!reply)
        return 0;
    guint32 pid = 0;
    g_variant_get(reply, "(u)", &pid);
    g_variant_unref(reply);
    return pid_t(pid);
}

// Whether the process still runs; a zombie has done all its writing.
bool processRunning(pid_t pid)
{
    if (::kill(pid, 0) != 0)
        return false;
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype state = line.lastIndexOf(')') + 2;
    return state < line.size() && line.at(state) != 'Z';
}

} // namespace

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
    // The metadata daemon writes its store as it leaves, after the bus has gone; the test removes
    // that store's folder once this returns, so wait for it to have left.
    pid_t metadataDaemon = 0;
    // GIO ends a process whose session bus goes away; this one goes away on purpose.
    if (isRunning()) {
        if (GDBusConnection *connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
            g_dbus_connection_set_exit_on_close(connection, false);
            metadataDaemon = ownerOf(connection, "org.gtk.vfs.Metadata");
            g_object_unref(connection);
        }
    }
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000)) {
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
    for (const QDeadlineTimer deadline(5000);
         metadataDaemon > 0 && processRunning(metadataDaemon) && !deadline.hasExpired();)
        QThread::msleep(10);
}

QString customIconSeenByGio(const QString &path)
{
    QProcess gio;
    gio.start(u"gio"_s, { u"info"_s, u"--attributes=metadata::custom-icon"_s, path });
    if (!gio.waitForFinished(10000) || gio.exitCode() != 0)
        return u"gio failed"_s;
    const QString prefix = u"metadata::custom-icon: "_s;
    for (const QString &line : QString::fromUtf8(gio.readAllStandardOutput()).split(u'\n')) {
        if (line.trimmed().startsWith(prefix))
            return QUrl(line.trimmed().mid(prefix.size())).toLocalFile();
    }
    return {};
}
