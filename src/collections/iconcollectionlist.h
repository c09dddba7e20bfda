// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/iconsections.h"

#include <QListView>
#include <QSet>
#include <QString>
#include <QUuid>

#include <memory>

class ContainerManager;
class FileIconSetter;
class IconListDelegate;
class IconListModel;
class IconSelectionManager;
class ThumbnailProvider;

// The list presentation: rows of the selected containers' icons that the search shows, in
// library order, with a plain credit-line header per container while two or more are shown. The
// list's own selection (click, Shift range, Control toggle) is bridged to the ordered icon
// selection: icons the list does not show (hidden by the search, or of other containers) stay
// selected, and the row clicked last comes last, so it is the one the window applies.
// Rows drag out as their icon; the list takes no drops.
class IconCollectionList : public QListView
{
    Q_OBJECT

public:
    IconCollectionList(ContainerManager &manager, ThumbnailProvider &provider,
        std::shared_ptr<FileIconSetter> iconSetter, bool showBackground, QSet<QUuid> containerSelection,
        IconSelectionManager &selectionManager, QString searchText, QWidget *parent = nullptr);
    ~IconCollectionList() override;

    void setContainerSelection(QSet<QUuid> selection);
    void setSearchText(QString text);
    bool showBackground() const { return m_showBackground; }
    IconListModel *iconModel() const { return m_model; }

Q_SIGNALS:
    void showBackgroundChanged(bool showBackground);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuild();
    void readListSize();
    void updateBackground();
    // Icon selection → the list's rows, without writing back.
    void syncFromSelection();
    // The list's rows → the icon selection.
    void writeSelection();

    ContainerManager &m_manager;
    IconSelectionManager &m_selectionManager;
    ThumbnailProvider &m_provider;
    std::shared_ptr<FileIconSetter> m_iconSetter; // for the folders of drags
    QSet<QUuid> m_containerSelection;
    QString m_searchText;
    bool m_showBackground = false;
    IconListModel *m_model = nullptr;
    IconListDelegate *m_delegate = nullptr;
    bool m_syncing = false;
    bool m_syncQueued = false;
    QList<QUuid> m_visibleIDs;
};
