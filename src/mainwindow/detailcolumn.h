// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/optionenums.h"
#include "widgets/motionpolicy.h"

#include <QString>
#include <QWidget>

#include <memory>

class ContainerManager;
class ContainerSelection;
class DetailStatusBar;
class IconSelectionManager;
class LowResolutionOverlay;
class FileIconSetter;
class QStackedWidget;
class Settings;
class ThumbnailProvider;
class VisualEffectView;

// The right-hand column of a main window: the icons of the selected containers in the
// presentation "iconViewMode" names (nothing with no container selected) on the content
// background, the low-resolution overlay over them while "emulateLowResoltion" is on, and the
// status bar below. It follows the window's container selection and the two settings at once.
class DetailColumn : public QWidget
{
    Q_OBJECT

public:
    DetailColumn(ContainerManager &manager, ContainerSelection &selection, IconSelectionManager &iconSelection,
        ThumbnailProvider &provider, std::shared_ptr<FileIconSetter> iconSetter, Settings &settings,
        QWidget *parent = nullptr);

    // Handed on to the status bar and to the presentations made from then on (the window hands it
    // in before it shows any).
    void setMotionPolicy(const MotionPolicy &policy);

    void setSearchText(const QString &text);
    const QString &searchText() const { return m_searchText; }
    // "Deselect All": the grid empties the icon selection; the list and gallery do not listen.
    void deselectAll();

    // The presentation shown now; nullptr with no container selected.
    QWidget *collectionView() const { return m_collectionView; }
    IconViewMode collectionViewMode() const { return m_mode; }
    // The overlay while the emulation is on; nullptr otherwise.
    LowResolutionOverlay *overlay() const { return m_overlay; }
    DetailStatusBar *statusBar() const { return m_statusBar; }

private:
    void followSelection();
    void followViewMode();
    void followEmulation();
    // The presentation of `mode`, made when asked to (once) and kept in the stack.
    QWidget *presentation(IconViewMode mode, bool make);
    void showPresentation();

    ContainerManager &m_manager;
    ContainerSelection &m_selection;
    IconSelectionManager &m_iconSelection;
    ThumbnailProvider &m_provider;
    std::shared_ptr<FileIconSetter> m_iconSetter;
    Settings &m_settings;
    IconViewMode m_mode;
    MotionPolicy m_motion = MotionPolicy::still();
    QString m_searchText;
    QWidget *m_content = nullptr;
    VisualEffectView *m_background = nullptr;
    // One page per presentation, kept while the window lives; shown while a container is selected.
    QStackedWidget *m_views = nullptr;
    QWidget *m_grid = nullptr;
    QWidget *m_list = nullptr;
    QWidget *m_gallery = nullptr;
    QWidget *m_collectionView = nullptr;
    LowResolutionOverlay *m_overlay = nullptr;
    DetailStatusBar *m_statusBar = nullptr;
};
