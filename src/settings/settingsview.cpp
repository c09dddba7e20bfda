// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsview.h"

#include "settings/closeshortcuts.h"
#include "settings/generalsettingsview.h"
#include "settings/lowresolutionsettingsview.h"
#include "settings/updatessettingsview.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QLayout>
#include <QStackedWidget>
#include <QToolBar>

#include <algorithm>

namespace {

constexpr int narrowestWidth = 600;

QString iconName(SettingsTab tab)
{
    switch (tab) {
    case SettingsTab::general:
        return QStringLiteral(":/images/Settings/GeneralSettingsIcon.svg");
    case SettingsTab::lowResolution:
        return QStringLiteral(":/images/Settings/LowResolutionSettingsIcon.svg");
    case SettingsTab::updates:
        return QStringLiteral(":/images/Settings/UpdatesSettingsIcon.svg");
    }
    return {};
}

int position(SettingsTab tab)
{
    constexpr auto cases = allCases<SettingsTab>();
    return static_cast<int>(std::ranges::find(cases, tab) - cases.begin());
}

} // namespace

// The resources live in a static library; registering them here keeps the linker from dropping
// them. The macro declares a function, which must not sit in a namespace.
static void registerSettingsResources()
{
    Q_INIT_RESOURCE(settings);
}

SettingsView::SettingsView(SettingsTab &selectedTab, Updater &updater, const Settings &settings, QWidget *parent)
    : QMainWindow(parent)
    , m_selectedTab(selectedTab)
    , m_tabBar(new QToolBar(tr("Settings Tabs"), this))
    , m_tabActions(new QActionGroup(this))
    , m_pages(new QStackedWidget(this))
{
    registerSettingsResources();
    setObjectName(QStringLiteral("settingsWindow"));
    addCloseShortcuts(this);

    m_tabBar->setObjectName(QStringLiteral("settingsTabBar"));
    m_tabBar->setMovable(false);
    m_tabBar->setFloatable(false);
    m_tabBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_tabBar->setIconSize(QSize(32, 32));
    m_tabBar->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, m_tabBar);
    setContextMenuPolicy(Qt::NoContextMenu);

    m_pages->addWidget(new GeneralSettingsView(settings));
    m_pages->addWidget(new LowResolutionSettingsView(settings));
    m_pages->addWidget(new UpdatesSettingsView(updater));
    m_pages->setMinimumWidth(narrowestWidth);
    setCentralWidget(m_pages);

    for (SettingsTab tab : allCases<SettingsTab>()) {
        QAction *action = m_tabBar->addAction(QIcon(iconName(tab)), title(tab));
        action->setCheckable(true);
        action->setData(position(tab));
        m_tabActions->addAction(action);
        connect(action, &QAction::triggered, this, [this, tab] { showTab(tab); });
    }

    // The window follows the shown page's size; hidden pages take no part in it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    showTab(m_selectedTab);
}

QWidget *SettingsView::page(SettingsTab tab) const
{
    return m_pages->widget(position(tab));
}

SettingsTab SettingsView::shownTab() const
{
    return allCases<SettingsTab>().at(static_cast<std::size_t>(m_pages->currentIndex()));
}

void SettingsView::showTab(SettingsTab tab)
{
    if (position(tab) >= m_pages->count())
        tab = SettingsTab::general;
    m_selectedTab = tab;
    const int shown = position(tab);
    for (int index = 0; index < m_pages->count(); ++index) {
        const auto policy = index == shown ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        m_pages->widget(index)->setSizePolicy(policy, policy);
    }
    m_pages->setCurrentIndex(shown);
    m_tabActions->actions().at(shown)->setChecked(true);
    setWindowTitle(title(tab));
}

void SettingsView::showEvent(QShowEvent *event)
{
    // The application may have chosen a tab while the window was closed.
    if (shownTab() != m_selectedTab)
        showTab(m_selectedTab);
    QMainWindow::showEvent(event);
}
