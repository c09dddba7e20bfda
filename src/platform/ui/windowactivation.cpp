// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/windowactivation.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype pieceBytes = 20;

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

xcb_screen_t *screenOf(xcb_connection_t *connection, xcb_window_t window)
{
    xcb_get_geometry_reply_t *geometry
        = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry)
        return nullptr;
    const xcb_window_t root = geometry->root;
    std::free(geometry);
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem; xcb_screen_next(&it)) {
        if (it.data->root == root)
            return it.data;
    }
    return nullptr;
}

void activateOnX11(QWidget *window, const QByteArray &startupId)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const auto windowId = xcb_window_t(window->winId());
    xcb_screen_t *screen = screenOf(connection, windowId);
    if (!screen)
        return;

    // Window managers read the launch a window belongs to from this property.
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, windowId, internAtom(connection, "_NET_STARTUP_ID"),
        internAtom(connection, "UTF8_STRING"), 8, uint32_t(startupId.size()), startupId.constData());

    // Qt asks with the time of the last event it saw, which may well be older than the launch.
    if (const std::optional<quint32> time = WindowActivation::launchTime(startupId)) {
        xcb_client_message_event_t event {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = windowId;
        event.type = internAtom(connection, "_NET_ACTIVE_WINDOW");
        event.data.data32[0] = 1; // a request from an application
        event.data.data32[1] = *time;
        xcb_send_event(connection, 0, screen->root,
            XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
            reinterpret_cast<const char *>(&event));
    }

    // The message goes out from a window of its own, which is made and dropped for it.
    const xcb_window_t sender = xcb_generate_id(connection);
    const uint32_t overrideRedirect = 1;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, sender, screen->root, -100, -100, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
    const xcb_atom_t begin = internAtom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = internAtom(connection, "_NET_STARTUP_INFO");
    const QList<QByteArray> pieces = WindowActivation::messagePieces(WindowActivation::removeMessage(startupId));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        xcb_client_message_event_t event {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = sender;
        event.type = i == 0 ? begin : more;
        std::memcpy(event.data.data8, pieces.at(i).constData(), pieceBytes);
        xcb_send_event(
            connection, 0, screen->root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char *>(&event));
    }
    xcb_destroy_window(connection, sender);
    xcb_flush(connection);
}

} // namespace

void WindowActivation::activate(QWidget *window, const QByteArray &token)
{
    window->show();
    window->raise();
    const QString platform = QGuiApplication::platformName();
    // Qt's Wayland plugin hands this token to the compositor with the next activation request.
    if (!token.isEmpty() && platform.startsWith("wayland"_L1))
        qputenv("XDG_ACTIVATION_TOKEN", token);
    window->activateWindow();
    if (!token.isEmpty() && platform == "xcb"_L1)
        activateOnX11(window, token);
}

QByteArray WindowActivation::removeMessage(const QByteArray &startupId)
{
    // A value with blanks, quotes or backslashes is quoted, its quotes and backslashes escaped.
    const bool plain
        = std::none_of(startupId.cbegin(), startupId.cend(), [](char c) { return c == ' ' || c == '"' || c == '\\'; });
    QByteArray value = startupId;
    if (!plain) {
        value.replace('\\', "\\\\").replace('"', "\\\"");
        value = '"' + value + '"';
    }
    return "remove: ID=" + value + '\0';
}

QList<QByteArray> WindowActivation::messagePieces(const QByteArray &message)
{
    QList<QByteArray> pieces;
    for (qsizetype start = 0; start < message.size(); start += pieceBytes) {
        QByteArray piece = message.mid(start, pieceBytes);
        piece.append(pieceBytes - piece.size(), '\0');
        pieces.append(piece);
    }
    return pieces;
}

std::optional<quint32> WindowActivation::launchTime(const QByteArray &startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0)
        return std::nullopt;
    bool ok = false;
    const quint32 time = startupId.mid(at + 5).toUInt(&ok);
    if (!ok || time == 0)
        return std::nullopt;
    return time;
}
