// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mainsplitview.h"

#include "library/iconselectionmanager.h"
#include "mainwindow/containerselection.h"
#include "mainwindow/detailcolumn.h"
#include "mainwindow/sidebarview.h"

MainSplitView::MainSplitView(ContainerManager &manager, ThumbnailProvider &provider, QWidget *parent)
    : QSplitter(Qt::Horizontal, parent)
    , m_selection(new ContainerSelection(this))
    , m_iconSelection(new IconSelectionManager(this))
{
    m_sidebar = new SidebarView(manager, *m_selection, *m_iconSelection, provider, this);
    m_detail = new DetailColumn(manager, *m_selection, *m_iconSelection, provider, this);
    addWidget(m_sidebar);
    addWidget(m_detail);
    setChildrenCollapsible(false);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    setSizes({ SidebarView::idealWidth, 1000 });
    setHandleWidth(1);

    connect(m_selection, &ContainerSelection::changed, this, &MainSplitView::followSelection);
    connect(this, &MainSplitView::exporterDisabled, m_sidebar, &SidebarView::setExporterDisabled);
}

void MainSplitView::followSelection()
{
    selectionPruneFilter(*m_iconSelection, m_selection->ids());
    Q_EMIT exporterDisabled(m_selection->ids().size() != 1);
}
