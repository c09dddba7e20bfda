// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/detailcolumn.h"

#include "collections/iconcollectiongallery.h"
#include "collections/iconcollectiongrid.h"
#include "collections/iconcollectionlist.h"
#include "collections/iconpreviewsizestepper.h"
#include "library/settings.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/detailstatusbar.h"
#include "mainwindow/lowresolutionoverlay.h"
#include "mainwindow/xdrview.h"
#include "widgets/visualeffectview.h"

#include <QGridLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

DetailColumn::DetailColumn(ContainerManager &manager, ContainerSelection &selection,
    IconSelectionManager &iconSelection, ThumbnailProvider &provider, std::shared_ptr<FileIconSetter> iconSetter,
    Settings &settings, QWidget *parent)
    : QWidget(parent)
    , m_manager(manager)
    , m_selection(selection)
    , m_iconSelection(iconSelection)
    , m_provider(provider)
    , m_iconSetter(std::move(iconSetter))
    , m_settings(settings)
    , m_mode(settings.iconViewMode().read())
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_content = new QWidget(this);
    // Background, presentation and overlay share one cell, stacked in that order.
    auto *stack = new QGridLayout(m_content);
    stack->setContentsMargins(0, 0, 0, 0);
    m_background = new VisualEffectView(VisualEffectView::Material::contentBackground, false, m_content);
    stack->addWidget(m_background, 0, 0);
    m_views = new QStackedWidget(m_content);
    m_views->hide();
    stack->addWidget(m_views, 0, 0);
    layout->addWidget(m_content, 1);
    m_statusBar = new DetailStatusBar(settings, new IconPreviewSizeStepper(settings), this);
    layout->addWidget(m_statusBar);

    connect(&m_selection, &ContainerSelection::changed, this, &DetailColumn::followSelection);
    connect(m_settings.iconViewMode().notifier(), &SettingsKeyNotifier::changed, this, &DetailColumn::followViewMode);
    connect(m_settings.emulateLowResolution().notifier(), &SettingsKeyNotifier::changed, this,
        &DetailColumn::followEmulation);
    followSelection();
    followEmulation();
}

namespace {

// The three presentations share their setters but no base class that declares them.
template <typename Action> void withPresentation(QWidget *view, Action action)
{
    if (auto *grid = qobject_cast<IconCollectionGrid *>(view))
        action(*grid);
    else if (auto *list = qobject_cast<IconCollectionList *>(view))
        action(*list);
    else if (auto *gallery = qobject_cast<IconCollectionGallery *>(view))
        action(*gallery);
}

} // namespace

void DetailColumn::setMotionPolicy(const MotionPolicy &policy)
{
    m_motion = policy;
    m_statusBar->setMotionPolicy(policy);
}

void DetailColumn::setSearchText(const QString &text)
{
    m_searchText = text;
    withPresentation(m_collectionView, [&text](auto &view) { view.setSearchText(text); });
}

void DetailColumn::deselectAll()
{
    // Only the grid listens, as the other presentations keep their selection.
    if (auto *grid = qobject_cast<IconCollectionGrid *>(m_collectionView))
        grid->deselectAll();
}

void DetailColumn::followSelection()
{
    const bool any = !m_selection.ids().isEmpty();
    m_statusBar->setContainerSelected(any);
    if (any != (m_collectionView != nullptr))
        showPresentation();
    else
        withPresentation(m_collectionView, [this](auto &view) { view.setContainerSelection(m_selection.ids()); });
}

void DetailColumn::followViewMode()
{
    const IconViewMode mode = m_settings.iconViewMode().read();
    if (mode == m_mode)
        return;
    m_mode = mode;
    showPresentation();
}

QWidget *DetailColumn::presentation(IconViewMode mode, bool make)
{
    QWidget **view = mode == IconViewMode::list ? &m_list : mode == IconViewMode::gallery ? &m_gallery : &m_grid;
    if (*view || !make)
        return *view;
    IconCollectionInputs inputs { .manager = m_manager,
        .provider = m_provider,
        .iconSetter = m_iconSetter,
        .settings = m_settings,
        .iconSelection = m_iconSelection,
        .containerSelection = m_selection.ids(),
        .searchText = m_searchText,
        .motion = m_motion };
    switch (mode) {
    case IconViewMode::grid:
        *view = new IconCollectionGrid(std::move(inputs), m_views);
        break;
    case IconViewMode::list:
        *view = new IconCollectionList(std::move(inputs), m_views);
        break;
    case IconViewMode::gallery:
        *view = new IconCollectionGallery(std::move(inputs), m_views);
        break;
    }
    m_views->addWidget(*view);
    return *view;
}

void DetailColumn::showPresentation()
{
    if (m_selection.ids().isEmpty()) {
        m_collectionView = nullptr;
        m_views->hide();
        return;
    }
    // Only the shown page follows the inputs; a page coming back takes them now, which also runs
    // the gallery's rule for a container selection it has not seen.
    const bool made = presentation(m_mode, false) != nullptr;
    m_collectionView = presentation(m_mode, true);
    if (made) {
        withPresentation(m_collectionView, [this](auto &view) {
            view.setSearchText(m_searchText);
            view.setContainerSelection(m_selection.ids());
        });
    }
    m_views->setCurrentWidget(m_collectionView);
    m_views->show();
    if (m_overlay)
        m_overlay->raise();
}

void DetailColumn::followEmulation()
{
    const bool on = m_settings.emulateLowResolution().read();
    if (on == (m_overlay != nullptr))
        return;
    if (!on) {
        // The brightness layer goes with it, so nothing draws while the emulation is off.
        delete m_overlay;
        m_overlay = nullptr;
        return;
    }
    m_overlay = new LowResolutionOverlay(m_settings, m_content);
    m_overlay->setBrightnessLayer(XDRView::overlay(m_settings.lowResolutionScreenBrightness(), m_overlay));
    static_cast<QGridLayout *>(m_content->layout())->addWidget(m_overlay, 0, 0);
    m_overlay->raise();
    m_overlay->show();
}
