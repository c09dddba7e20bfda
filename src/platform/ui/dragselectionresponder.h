// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

#include <optional>
#include <vector>

class QDrag;
struct xcb_connection_t;

// Answers, on X11, the requests for a drag's data that Qt's drag source leaves unanswered. Qt
// finds the drag a request is for by the request's time (the drag's or the drop's) or by the
// requesting window (the drop target, or a window inside it). GTK 4 asks with CurrentTime from its
// leader window, which is neither, so Qt replies that there is no data and the receiver waits for
// ever. This answers exactly those requests: for the XdndSelection, at CurrentTime, from a window
// that is not one of the drag's drop targets (as their XdndStatus and XdndFinished name them) nor
// inside one; every other request stays Qt's. It offers what Qt offers for the drag's data. Data
// above incrementalThreshold goes in pieces (INCR), so no request exceeds the display's limit.
//
// Made as a child of the drag before it runs; answers while the drag lives, which Qt extends until
// the receiver has finished (a piecewise transfer whose receiver vanished ends with it). The newest
// drag's responder is asked first and takes every such request, answering "no data" for what its
// drag lacks, so an older drag's data never answers for the newer one.
class DragSelectionResponder : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit DragSelectionResponder(QDrag *drag);
    ~DragSelectionResponder() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    // Above this many bytes data goes in pieces of at most this size.
    static constexpr qsizetype incrementalThreshold = 256 * 1024;

    // Data being handed over in pieces: the next piece goes when the receiver deletes the property.
    struct Transfer
    {
        quint32 requestor = 0;
        quint32 property = 0;
        quint32 type = 0;
        QByteArray data;
        qsizetype offset = 0;
    };

    bool answerRequest(const void *event);
    bool continueTransfer(const void *event);
    // The bytes of the target named `target`, none when the drag has no such data.
    std::optional<QByteArray> dataFor(const QByteArray &target) const;
    // Remembers the window that answers the drag as its drop target (XdndStatus, XdndFinished).
    void noteDropTarget(const void *event);
    // Whether `window` is a drop target of the drag or lies inside one: Qt answers those itself.
    bool isInsideDropTarget(quint32 window) const;
    quint32 atom(const char *name) const;
    QByteArray atomName(quint32 atom) const;
    void finishTransfer(std::vector<Transfer>::iterator transfer);

    QPointer<QDrag> m_drag;
    xcb_connection_t *m_connection = nullptr;
    quint32 m_selection = 0;
    quint32 m_status = 0;
    quint32 m_finished = 0;
    quint32 m_incr = 0;
    qsizetype m_pieceSize = incrementalThreshold;
    QList<quint32> m_dropTargets;
    std::vector<Transfer> m_transfers;
};
