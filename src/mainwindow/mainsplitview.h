// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

#include <QList>
#include <QSplitter>

#include <memory>

class ContainerManager;
class ContainerSelection;
class DetailColumn;
class IconSelectionManager;
class SidebarView;
class FileIconSetter;
class Settings;
class ThumbnailProvider;

// The two columns of a main window, the sidebar and the detail column, with the selections that
// belong to that one window: its container selection and its icon selection, both empty at first.
// On every change of the container selection it deselects the icons of containers no longer
// selected, then reports whether exporting is impossible (other than one container selected);
// not when it is first shown. After every write of the library's containers that leaves selected
// identifiers unresolved (a load makes new ones), both selections are carried over to the same
// container folders and icon files, dropping what is gone, and the report follows again.
class MainSplitView : public QSplitter
{
    Q_OBJECT

public:
    MainSplitView(ContainerManager &manager, ThumbnailProvider &provider, std::shared_ptr<FileIconSetter> iconSetter,
        Settings &settings, QWidget *parent = nullptr);

    ContainerSelection &selection() const { return *m_selection; }
    IconSelectionManager &iconSelection() const { return *m_iconSelection; }
    SidebarView *sidebar() const { return m_sidebar; }
    DetailColumn *detail() const { return m_detail; }

Q_SIGNALS:
    void exporterDisabled(bool disabled);

private:
    void followSelection();
    void carrySelectionsOver();

    ContainerManager &m_manager;
    // The containers the selections were made in, for carrying them over the next write.
    QList<IconContainer> m_before;
    ContainerSelection *m_selection;
    IconSelectionManager *m_iconSelection;
    SidebarView *m_sidebar;
    DetailColumn *m_detail;
};
