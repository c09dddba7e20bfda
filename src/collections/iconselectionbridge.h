// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class IconModel;
class IconSelectionManager;
class QItemSelectionModel;

// Keeps a view's row selection over an IconModel in step with the ordered icon selection, which
// stays the one source of truth. Rows follow the icon selection once control returns to the event
// loop (a Shift range elsewhere changes it once per icon); a change of the rows is written back at
// once: icons the rows do not show (hidden by the search, or of other containers) stay selected
// unless the input started the selection afresh, newly selected rows follow in row order, and the
// current row goes last, as it is the icon the window applies.
class IconSelectionBridge : public QObject
{
    Q_OBJECT

public:
    IconSelectionBridge(
        IconSelectionManager &selectionManager, IconModel &model, QItemSelectionModel &rows, QObject *parent = nullptr);

    // Input handling around the view's own: while it runs, the view reports a selection started
    // afresh; at its end, icons the rows do not show leave the icon selection too, also when no
    // row changed (a plain click on the one selected row).
    void beginInput();
    void inputReplacesSelection() { m_replacing = true; }
    void endInput();
    // Runs `change` to the rows (such as moving the current row) without writing it back.
    template <typename Change> void withoutWriteBack(Change change)
    {
        const bool syncing = m_syncing;
        m_syncing = true;
        change();
        m_syncing = syncing;
    }

private:
    void queueSync();
    // Icon selection → rows, without writing back.
    void syncRows();
    // Rows → icon selection.
    void writeSelection();

    IconSelectionManager &m_selectionManager;
    IconModel &m_model;
    QItemSelectionModel &m_rows;
    bool m_syncing = false;
    bool m_syncQueued = false;
    bool m_replacing = false;
};
