// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/detailcolumn.h"

#include "collections/iconpreviewsizestepper.h"
#include "library/settings.h"
#include "mainwindow/collectionviewstandin.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/detailstatusbar.h"
#include "mainwindow/lowresolutionoverlay.h"
#include "mainwindow/visualeffectview.h"
#include "settings/xdrview.h"

#include <QGridLayout>
#include <QVBoxLayout>

DetailColumn::DetailColumn(ContainerManager &manager, ContainerSelection &selection,
    IconSelectionManager &iconSelection, ThumbnailProvider &provider, QWidget *parent)
    : QWidget(parent)
    , m_manager(manager)
    , m_selection(selection)
    , m_iconSelection(iconSelection)
    , m_provider(provider)
    , m_mode(Settings::iconViewMode().read())
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_content = new QWidget(this);
    // Background, presentation and overlay share one cell, stacked in that order.
    auto *stack = new QGridLayout(m_content);
    stack->setContentsMargins(0, 0, 0, 0);
    m_background = new VisualEffectView(
        VisualEffectView::Material::contentBackground, VisualEffectView::BlendingMode::withinWindow, false, m_content);
    stack->addWidget(m_background, 0, 0);
    layout->addWidget(m_content, 1);
    m_statusBar = new DetailStatusBar(new IconPreviewSizeStepper, this);
    layout->addWidget(m_statusBar);

    connect(&m_selection, &ContainerSelection::changed, this, &DetailColumn::followSelection);
    connect(Settings::iconViewMode().notifier(), &SettingsKeyNotifier::changed, this, &DetailColumn::followViewMode);
    connect(Settings::emulateLowResolution().notifier(), &SettingsKeyNotifier::changed, this,
        &DetailColumn::followEmulation);
    followSelection();
    followEmulation();
}

void DetailColumn::setSearchText(const QString &text)
{
    m_searchText = text;
    if (auto *standIn = qobject_cast<CollectionViewStandIn *>(m_collectionView))
        standIn->setSearchText(text);
}

void DetailColumn::followSelection()
{
    const bool any = !m_selection.ids().isEmpty();
    m_statusBar->setContainerSelected(any);
    if (any != (m_collectionView != nullptr))
        rebuildCollectionView();
    else if (auto *standIn = qobject_cast<CollectionViewStandIn *>(m_collectionView))
        standIn->setContainerSelection(m_selection.ids());
}

void DetailColumn::followViewMode()
{
    const IconViewMode mode = Settings::iconViewMode().read();
    if (mode == m_mode)
        return;
    m_mode = mode;
    rebuildCollectionView();
}

void DetailColumn::rebuildCollectionView()
{
    delete m_collectionView;
    m_collectionView = nullptr;
    if (m_selection.ids().isEmpty())
        return;
    auto *standIn = new CollectionViewStandIn(m_mode, m_manager, m_iconSelection, m_provider, m_content);
    standIn->setSearchText(m_searchText);
    standIn->setContainerSelection(m_selection.ids());
    m_collectionView = standIn;
    static_cast<QGridLayout *>(m_content->layout())->addWidget(m_collectionView, 0, 0);
    if (m_overlay)
        m_overlay->raise();
}

void DetailColumn::followEmulation()
{
    const bool on = Settings::emulateLowResolution().read();
    if (on == (m_overlay != nullptr))
        return;
    if (!on) {
        // The brightness layer goes with it, so nothing draws while the emulation is off.
        delete m_overlay;
        m_overlay = nullptr;
        return;
    }
    m_overlay = new LowResolutionOverlay(m_content);
    m_overlay->setBrightnessLayer(XDRView::overlay(Settings::lowResolutionScreenBrightness(), m_overlay));
    static_cast<QGridLayout *>(m_content->layout())->addWidget(m_overlay, 0, 0);
    m_overlay->raise();
    m_overlay->show();
}
