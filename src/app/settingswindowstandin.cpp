// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settingswindowstandin.h"

#include "platform/updater.h"

#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

SettingsWindowStandIn::SettingsWindowStandIn(SettingsTab &selectedTab, Updater &updater, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_selectedTab(selectedTab)
{
    setWindowTitle(title(selectedTab));
    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    layout->addWidget(m_tabs);
    for (const SettingsTab tab : allCases<SettingsTab>()) {
        auto *page = new QWidget(m_tabs);
        if (tab == SettingsTab::updates) {
            auto *pageLayout = new QVBoxLayout(page);
            auto *check = new QPushButton(tr("Check for Updates"), page);
            connect(check, &QPushButton::clicked, &updater, &Updater::checkForUpdates);
            pageLayout->addWidget(check);
            pageLayout->addStretch();
        }
        m_tabs->addTab(page, title(tab));
    }
    m_tabs->setCurrentIndex(int(m_selectedTab));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        m_selectedTab = allCases<SettingsTab>().at(std::size_t(index));
        setWindowTitle(title(m_selectedTab));
    });
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
