// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <memory>

class ContainerListModel;
class ContainerManager;
class ContainerSelection;
class IconSelectionManager;
class QListView;
class QMenu;
class QuickDropView;
class SidebarRowDelegate;
class FileIconSetter;
class Settings;
class ThumbnailProvider;

// A plain widget, not an item view: the item view is its listView().
// The sidebar column of a main window: the library's containers, one row each with its icon at
// the "sidebarIconSize" size and its title, in library order and selectable several at once;
// below them the Quick Drop panel, fed with the last selected icon that still resolves, and the
// list actions bar whose "More" menu the window fills with its Import and Export submenus.
// Guarantees: the window's container selection is the truth. A write of the library's containers
// (a reorder, a reload) keeps it as it is and selects its rows again by identifier; only the
// user's own selecting writes it. The sidebar owns none of what it is handed.
class SidebarView : public QWidget
{
    Q_OBJECT

public:
    SidebarView(ContainerManager &manager, ContainerSelection &selection, IconSelectionManager &iconSelection,
        ThumbnailProvider &provider, std::shared_ptr<FileIconSetter> iconSetter, Settings &settings,
        QWidget *parent = nullptr);
    ~SidebarView() override;

    static constexpr int minimumWidth = 150;
    static constexpr int idealWidth = 200;
    static constexpr int maximumWidth = 250;

    QListView *listView() const { return m_list; }
    ContainerListModel *model() const { return m_model; }
    QuickDropView *quickDropView() const { return m_quickDrop; }
    // The "More" menu of the list actions bar, empty until the window fills it.
    QMenu *moreMenu() const { return m_moreMenu; }

    QSize sizeHint() const override;

private:
    void applySelection();
    void takeUserSelection();
    void refreshQuickDropIcon();
    void followIconSizeSetting();

    ContainerManager &m_manager;
    ContainerSelection &m_selection;
    IconSelectionManager &m_iconSelection;
    ThumbnailProvider &m_provider;
    Settings &m_settings;
    ContainerListModel *m_model = nullptr;
    SidebarRowDelegate *m_delegate = nullptr;
    QListView *m_list = nullptr;
    QuickDropView *m_quickDrop = nullptr;
    QMenu *m_moreMenu = nullptr;
    // Set while the sidebar itself moves the list's selection, which must not write it back.
    bool m_applyingSelection = false;
};
