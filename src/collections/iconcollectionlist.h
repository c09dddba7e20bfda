// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/iconcollectioninputs.h"
#include "collections/iconsections.h"

#include <QListView>
#include <QSet>
#include <QString>
#include <QUuid>

#include <memory>

class ContainerManager;
class FileIconSetter;
class Settings;
class IconListDelegate;
class IconModel;
class IconSelectionBridge;
class IconSelectionManager;
class ThumbnailProvider;

// The list presentation: rows of the selected containers' icons that the search shows, in
// library order, with a plain credit-line header per container while two or more are shown. The
// list's own selection (click, Shift range, Control toggle) is bridged to the ordered icon
// selection: a Shift or Control change keeps the icons the list does not show (hidden by the
// search, or of other containers) selected, a plain click leaves exactly its row's icon, and the
// row clicked last comes last, so it is the one the window applies. Headers take no click.
// Rows drag out as their icon, an unselected one joining the selection first; the list takes no
// drops.
class IconCollectionList : public QListView
{
    Q_OBJECT

public:
    explicit IconCollectionList(IconCollectionInputs inputs, QWidget *parent = nullptr);

    void setContainerSelection(QSet<QUuid> selection);
    void setSearchText(QString text);
    bool showBackground() const { return m_showBackground; }
    IconModel *iconModel() const { return m_model; }

Q_SIGNALS:
    void showBackgroundChanged(bool showBackground);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex &index, const QEvent *event = nullptr) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    bool event(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    void followModelReset();
    // Tells the model which rows are on screen, after every layout and scroll.
    void updateVisibleRows();
    void readListSize();
    void updateBackground();
    bool isHeaderAt(QPoint point) const;
    // Makes the row of the icon selected last, or `fallback` when that icon has no row here, the
    // row a Shift range starts from.
    void takeShiftAnchor(const QModelIndex &fallback);
    // Runs the list's own handling of an input event inside the bridge's input bracket.
    template <typename Handler> void handleSelectionInput(Handler handler);

    ContainerManager &m_manager;
    IconSelectionManager &m_selectionManager;
    std::shared_ptr<FileIconSetter> m_iconSetter; // for the folders of drags
    Settings &m_settings;
    bool m_showBackground = false;
    IconModel *m_model = nullptr;
    IconListDelegate *m_delegate = nullptr;
    IconSelectionBridge *m_bridge = nullptr;
    bool m_handlingInput = false;
    bool m_pressOnHeader = false;
    bool m_movingAnchor = false;
    QPair<int, int> m_visibleRows { -1, -1 };
};
