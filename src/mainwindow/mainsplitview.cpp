// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mainsplitview.h"

#include "library/containermanager.h"
#include "library/iconselectionmanager.h"
#include "library/libraryidentity.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/detailcolumn.h"
#include "mainwindow/sidebarview.h"

#include <algorithm>
#include <utility>

namespace {

// What still resolves after the write is kept as it is; the rest is found again by its container's
// folder name and its file name (a reload makes new identifiers), and what is gone is dropped.
template <typename Selection>
Selection carriedOver(const Selection &selection, const QList<IconContainer> &before, const QList<IconContainer> &after,
    const QSet<QUuid> &present)
{
    Selection kept;
    Selection stale;
    for (const QUuid &id : selection) {
        if (present.contains(id))
            kept.insert(id);
        else
            stale.insert(id);
    }
    for (const QUuid &id : LibraryIdentity::carryOver(stale, before, after))
        kept.insert(id);
    return kept;
}

} // namespace

MainSplitView::MainSplitView(ContainerManager &manager, ThumbnailProvider &provider,
    std::shared_ptr<FileIconSetter> iconSetter, Settings &settings, QWidget *parent)
    : QSplitter(Qt::Horizontal, parent)
    , m_manager(manager)
    , m_before(manager.containers())
    , m_selection(new ContainerSelection(this))
    , m_iconSelection(new IconSelectionManager(this))
{
    m_sidebar = new SidebarView(manager, *m_selection, *m_iconSelection, provider, iconSetter, settings, this);
    m_detail
        = new DetailColumn(manager, *m_selection, *m_iconSelection, provider, std::move(iconSetter), settings, this);
    addWidget(m_sidebar);
    addWidget(m_detail);
    setChildrenCollapsible(false);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    setSizes({ SidebarView::idealWidth, 1000 });
    setHandleWidth(1);

    connect(m_selection, &ContainerSelection::changed, this, &MainSplitView::followSelection);
    connect(&manager, &ContainerManager::containersChanged, this, &MainSplitView::carrySelectionsOver);
}

void MainSplitView::carrySelectionsOver()
{
    const QList<IconContainer> after = m_manager.containers();
    const QList<IconContainer> before = std::exchange(m_before, after);
    // Only for selections that have something to check: a large library has a hundred thousand
    // icons, and the window waits while this runs.
    QSet<QUuid> containers;
    QSet<QUuid> icons;
    const bool iconsSelected = !m_iconSelection->selection().empty();
    if (!m_selection->ids().isEmpty() || iconsSelected) {
        for (const IconContainer &container : after) {
            containers.insert(container.id);
            if (iconsSelected) {
                for (const Icon &icon : container.icons)
                    icons.insert(icon.id);
            }
        }
    }
    const bool containersStale = std::any_of(m_selection->ids().cbegin(), m_selection->ids().cend(),
        [&containers](const QUuid &id) { return !containers.contains(id); });
    const IconSelection &iconSelection = m_iconSelection->selection();
    const bool iconsStale = std::any_of(
        iconSelection.begin(), iconSelection.end(), [&icons](const QUuid &id) { return !icons.contains(id); });
    // A reorder or an edit keeps the identifiers: nothing to carry.
    if (!containersStale && !iconsStale)
        return;
    if (iconsStale)
        m_iconSelection->setSelection(carriedOver(iconSelection, before, after, icons));
    // Written even when unchanged, so the export state is reported again for the new library.
    m_selection->setIds(
        containersStale ? carriedOver(m_selection->ids(), before, after, containers) : m_selection->ids());
}

void MainSplitView::followSelection()
{
    selectionPruneFilter(m_manager, *m_iconSelection, m_selection->ids());
    Q_EMIT exporterDisabled(m_selection->ids().size() != 1);
}
