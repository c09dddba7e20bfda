// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconcollectiongallery.h"

#include "collections/iconcellpainter.h"
#include "collections/icongallerypreview.h"
#include "collections/icontileview.h"
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/settings.h"
#include "widgets/adaptivescrollarea.h"
#include "widgets/blureffectview.h"
#include "widgets/motionanimation.h"

#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

IconCollectionGallery::IconCollectionGallery(IconCollectionInputs inputs, QWidget *parent)
    : QWidget(parent)
    , m_manager(inputs.manager)
    , m_selectionManager(inputs.iconSelection)
    , m_containerSelection(inputs.containerSelection)
    , m_settings(inputs.settings)
{
    m_previewArea = new AdaptiveScrollArea(Qt::Horizontal | Qt::Vertical, this);
    // The gallery's own colour shows through.
    m_previewArea->viewport()->setAutoFillBackground(false);
    m_preview = new IconGalleryPreview(m_selectionManager, inputs.provider, inputs.iconSetter, m_settings);
    m_previewArea->setContent(m_preview);
    // Placing it in the area turns it on; the gallery's colour must show through.
    m_preview->setAutoFillBackground(false);

    m_stripHeight = new MotionAnimation(MotionPolicy::Timing::standard, 0, this);
    m_stripHeight->setObjectName(QStringLiteral("stripHeightAnimation"));
    m_stripHeight->setPolicy(inputs.motion);
    m_namesShown = m_settings.showIconNamesInGallery().read();
    m_strip = new IconTileView(IconTileLayout::Flow::strip, std::move(inputs), this);
    // The layout gives the preview what the strip leaves, frame by frame.
    connect(m_stripHeight, &MotionAnimation::changed, m_strip,
        [this](const QVariant &height) { m_strip->setFixedHeight(height.toInt()); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_previewArea, 1);
    // The strip lies on the frosted material, through which the gallery's colour shows.
    auto *backdrop = new BlurEffectView(this);
    auto *backdropLayout = new QVBoxLayout(backdrop);
    backdropLayout->setContentsMargins(0, 0, 0, 0);
    backdropLayout->addWidget(m_strip);
    layout->addWidget(backdrop, 0);

    const auto previewSizeChanged
        = [this] { m_preview->setPreviewSize(int(std::clamp<qint64>(m_settings.iconPreviewSize().read(), 1, 2048))); };
    previewSizeChanged();
    connect(m_settings.iconPreviewSize().notifier(), &SettingsKeyNotifier::changed, this, previewSizeChanged);
    connect(m_strip, &IconTileView::contentHeightChanged, this, &IconCollectionGallery::updateStripHeight);
    // After the strip's own relayout: names that change no height still count as seen.
    connect(m_settings.showIconNamesInGallery().notifier(), &SettingsKeyNotifier::changed, this,
        &IconCollectionGallery::updateStripHeight);
    connect(m_strip, &IconTileView::showBackgroundChanged, this, [this](bool show) {
        m_showBackground = show;
        update();
        Q_EMIT showBackgroundChanged(show);
    });
    connect(&m_selectionManager, &IconSelectionManager::selectionChanged, this, &IconCollectionGallery::updatePreview);
    connect(&m_manager, &ContainerManager::containersChanged, this, [this] {
        m_iconPositions.clear();
        updatePreview();
        update();
    });
    m_showBackground = m_strip->showBackground();
    updateStripHeight();
    selectFirstIcon();
    updatePreview();
}

void IconCollectionGallery::setContainerSelection(QSet<QUuid> selection)
{
    m_containerSelection = selection;
    m_strip->setContainerSelection(std::move(selection));
    selectFirstIcon();
    update();
}

void IconCollectionGallery::setSearchText(QString text)
{
    m_strip->setSearchText(std::move(text));
}

void IconCollectionGallery::selectFirstIcon()
{
    const QList<IconContainer> &containers = m_manager.containers();
    // Icons of containers no longer shown are about to be pruned by the window; they do not
    // count, so the order of the window's pruning and this rule makes no difference.
    for (const QUuid &id : m_selectionManager.selection()) {
        qsizetype container = -1;
        if (find(id, &container) && m_containerSelection.contains(containers.at(container).id))
            return;
    }
    const auto first = std::find_if(containers.cbegin(), containers.cend(),
        [this](const IconContainer &container) { return m_containerSelection.contains(container.id); });
    if (first == containers.cend() || first->icons.isEmpty())
        return;
    m_selectionManager.select(first->icons.first().id);
}

const Icon *IconCollectionGallery::find(const QUuid &id, qsizetype *containerIndex)
{
    const QList<IconContainer> &containers = m_manager.containers();
    if (m_iconPositions.isEmpty()) {
        // Backwards, so that the first icon of an identifier in library order wins.
        for (qsizetype c = containers.size() - 1; c >= 0; --c) {
            for (qsizetype i = containers.at(c).icons.size() - 1; i >= 0; --i)
                m_iconPositions.insert(containers.at(c).icons.at(i).id, { c, i });
        }
    }
    const auto found = m_iconPositions.constFind(id);
    if (found == m_iconPositions.cend())
        return nullptr;
    if (containerIndex)
        *containerIndex = found->first;
    return &containers.at(found->first).icons.at(found->second);
}

void IconCollectionGallery::updatePreview()
{
    const IconSelection &selection = m_selectionManager.selection();
    for (auto it = selection.rbegin(); it != selection.rend(); ++it) {
        if (const Icon *icon = find(*it)) {
            m_preview->setIcon(*icon);
            return;
        }
    }
    m_preview->setIcon(std::nullopt);
}

void IconCollectionGallery::updateStripHeight()
{
    const int scrollBar = m_strip->horizontalScrollBar()->sizeHint().height();
    const int height = int(std::ceil(m_strip->tileLayout().contentSize().height())) + scrollBar;
    const bool names = m_settings.showIconNamesInGallery().read();
    const bool namesTurned = names != m_namesShown;
    m_namesShown = names;
    if (height == m_stripHeight->target().toInt())
        return;
    if (namesTurned)
        m_stripHeight->moveTo(height);
    else
        m_stripHeight->jumpTo(height);
}

void IconCollectionGallery::paintEvent(QPaintEvent *)
{
    if (m_containerSelection.size() != 1)
        return;
    const QList<IconContainer> &containers = m_manager.containers();
    const auto found = std::find_if(containers.cbegin(), containers.cend(),
        [this](const IconContainer &container) { return m_containerSelection.contains(container.id); });
    if (found == containers.cend())
        return;
    if (const auto colour = IconCellPainter::color(found->backgroundColor)) {
        QPainter painter(this);
        painter.fillRect(rect(), *colour);
    }
}
