// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

class QWidget;

// Brings a window forward for a launch that another process started, and ends that launch's
// startup notification, so the launcher stops showing it as busy. The token is the launch's
// X11 startup id or Wayland activation token; an empty one only shows, raises and activates.
// On X11 the window is tagged with the id, activated with the launch's time (the window manager
// weighs that against focus stealing) and the "remove" message is broadcast; on Wayland the
// token goes with the activation request. Other platforms only activate.
class WindowActivation
{
public:
    static void activate(QWidget *window, const QByteArray &token);

    // The X11 startup-notification message that ends the launch `startupId`, NUL-terminated.
    static QByteArray removeMessage(const QByteArray &startupId);
    // The message cut into the 20-byte pieces that client messages carry, the last padded with NULs.
    static QList<QByteArray> messagePieces(const QByteArray &message);
    // The X server time a startup id carries after "_TIME", when it carries one.
    static std::optional<quint32> launchTime(const QByteArray &startupId);
};
