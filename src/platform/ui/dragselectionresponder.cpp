// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/dragselectionresponder.h"

#include "platform/text/logging.h"

#include <QCoreApplication>
#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> ReplyPointer<Reply> owned(Reply *reply)
{
    return ReplyPointer<Reply>(reply, &std::free);
}

// No window tree is this deep; the bound only keeps a vanishing window from looping.
constexpr int maximumAncestors = 64;

} // namespace

DragSelectionResponder::DragSelectionResponder(QDrag *drag)
    : QObject(drag)
    , m_drag(drag)
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    m_connection = x11->connection();
    m_selection = atom("XdndSelection");
    m_status = atom("XdndStatus");
    m_finished = atom("XdndFinished");
    m_incr = atom("INCR");
    // A piece and the request that carries it must fit the display's limit (256 KiB without
    // BIG-REQUESTS).
    const auto requestLimit = qsizetype(xcb_get_maximum_request_length(m_connection)) * 4;
    m_pieceSize = qBound(qsizetype(4096), requestLimit - 1024, incrementalThreshold);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

DragSelectionResponder::~DragSelectionResponder()
{
    if (!m_connection)
        return;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    while (!m_transfers.empty())
        finishTransfer(m_transfers.begin());
    xcb_flush(m_connection);
}

bool DragSelectionResponder::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !m_connection)
        return false;
    switch (static_cast<const xcb_generic_event_t *>(message)->response_type & 0x7f) {
    case XCB_SELECTION_REQUEST:
        return answerRequest(message);
    case XCB_PROPERTY_NOTIFY:
        return continueTransfer(message);
    case XCB_CLIENT_MESSAGE:
        noteDropTarget(message);
        return false;
    default:
        return false;
    }
}

bool DragSelectionResponder::answerRequest(const void *event)
{
    const auto &request = *static_cast<const xcb_selection_request_event_t *>(event);
    if (request.selection != m_selection || request.time != XCB_CURRENT_TIME || !m_drag || !m_drag->mimeData())
        return false;
    if (isInsideDropTarget(request.requestor))
        return false;

    const QByteArray target = atomName(request.target);
    qCDebug(lcDragSelection) << "answering" << target << "for window" << request.requestor;
    // Clients older than ICCCM 2 name no property; the target then serves as one.
    const xcb_atom_t property = request.property != XCB_NONE ? request.property : request.target;
    const std::optional<QByteArray> data = dataFor(target);
    bool answered = false;
    if (data && data->size() <= m_pieceSize) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, property, request.target, 8,
            quint32(data->size()), data->constData());
        answered = true;
    } else if (data) {
        // The receiver deletes the property to ask for each piece; we hear of it through its events.
        const quint32 eventMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_connection, request.requestor, XCB_CW_EVENT_MASK, &eventMask);
        const auto size = quint32(data->size());
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, property, m_incr, 32, 1, &size);
        // A repeated request restarts the transfer into that property.
        std::erase_if(m_transfers, [&request, property](const Transfer &t) {
            return t.requestor == request.requestor && t.property == property;
        });
        m_transfers.push_back({ request.requestor, property, request.target, *data, 0 });
        answered = true;
    }

    xcb_selection_notify_event_t notify {};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = answered ? property : XCB_NONE;
    xcb_send_event(
        m_connection, false, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&notify));
    xcb_flush(m_connection);
    return true;
}

bool DragSelectionResponder::continueTransfer(const void *event)
{
    const auto &change = *static_cast<const xcb_property_notify_event_t *>(event);
    if (change.state != XCB_PROPERTY_DELETE)
        return false;
    const auto transfer = std::find_if(m_transfers.begin(), m_transfers.end(),
        [&change](const Transfer &t) { return t.requestor == change.window && t.property == change.atom; });
    if (transfer == m_transfers.end())
        return false;
    // The last, empty piece says the data is complete.
    const qsizetype piece = qMin(m_pieceSize, transfer->data.size() - transfer->offset);
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, transfer->requestor, transfer->property, transfer->type, 8,
        quint32(piece), transfer->data.constData() + transfer->offset);
    transfer->offset += piece;
    if (piece == 0)
        finishTransfer(transfer);
    xcb_flush(m_connection);
    return true;
}

void DragSelectionResponder::finishTransfer(std::vector<Transfer>::iterator transfer)
{
    const quint32 requestor = transfer->requestor;
    m_transfers.erase(transfer);
    const bool stillListening = std::any_of(
        m_transfers.cbegin(), m_transfers.cend(), [requestor](const Transfer &t) { return t.requestor == requestor; });
    if (!stillListening) {
        const quint32 eventMask = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(m_connection, requestor, XCB_CW_EVENT_MASK, &eventMask);
    }
}

std::optional<QByteArray> DragSelectionResponder::dataFor(const QByteArray &target) const
{
    // Qt offers a URI list also as plain text and as Mozilla's URL (UTF-16, the first URL only).
    const QMimeData *data = m_drag->mimeData();
    const bool hasUris = data->hasFormat(u"text/uri-list"_s);
    QByteArray bytes;
    if (target == "text/x-moz-url" && hasUris) {
        const QString url = QString::fromUtf8(data->data(u"text/uri-list"_s).split('\n').constFirst().trimmed());
        const QString line = url + u'\n';
        bytes = QByteArray(reinterpret_cast<const char *>(line.constData()), line.size() * 2);
    } else if (data->hasFormat(QString::fromLatin1(target)) || (target == "text/plain" && hasUris)) {
        bytes = data->data(QString::fromLatin1(target));
    }
    if (bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

void DragSelectionResponder::noteDropTarget(const void *event)
{
    const auto &message = *static_cast<const xcb_client_message_event_t *>(event);
    if (message.format != 32 || (message.type != m_status && message.type != m_finished))
        return;
    const quint32 target = message.data.data32[0];
    if (!m_dropTargets.contains(target))
        m_dropTargets.append(target);
}

bool DragSelectionResponder::isInsideDropTarget(quint32 window) const
{
    for (int depth = 0; window != XCB_NONE && depth < maximumAncestors; ++depth) {
        if (m_dropTargets.contains(window))
            return true;
        const auto tree = owned(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!tree || tree->parent == tree->root)
            return false;
        window = tree->parent;
    }
    return false;
}

quint32 DragSelectionResponder::atom(const char *name) const
{
    const auto reply = owned(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, false, quint16(qstrlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

QByteArray DragSelectionResponder::atomName(quint32 atom) const
{
    const auto reply = owned(xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, atom), nullptr));
    if (!reply)
        return {};
    return QByteArray(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()));
}
