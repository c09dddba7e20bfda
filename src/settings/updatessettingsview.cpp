// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/updatessettingsview.h"

#include "platform/net/updater.h"
#include "settings/settingsform.h"
#include "settings/updatecheckinterval.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

UpdatesSettingsView::UpdatesSettingsView(Updater &updater, QWidget *parent)
    : QWidget(parent)
    , m_updater(updater)
    , m_automaticChecks(new QCheckBox(tr("Automatically check for updates")))
    , m_automaticDownloads(new QCheckBox(tr("Automatically download updates")))
    , m_frequency(new QComboBox)
    , m_check(new QPushButton(tr("Check for Updates")))
    , m_lastChecked(makeSecondaryLabel(QString(), 0.85))
{
    for (UpdateCheckInterval interval : allUpdateCheckIntervals)
        m_frequency->addItem(label(interval), seconds(interval));
    m_frequency->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    // Only user actions write, one setting per change; turning checks off leaves the download
    // setting as it is, merely unavailable.
    connect(m_automaticChecks, &QCheckBox::clicked, this, [this](bool on) {
        m_automaticDownloads->setEnabled(on);
        m_updater.setAutomaticallyChecksForUpdates(on);
        showLastChecked();
    });
    connect(m_automaticDownloads, &QCheckBox::clicked, this, [this](bool on) {
        m_updater.setAutomaticallyDownloadsUpdates(on);
        showLastChecked();
    });
    connect(m_frequency, &QComboBox::activated, this, [this](int index) {
        m_updater.setUpdateCheckInterval(m_frequency->itemData(index).toDouble());
        showLastChecked();
    });
    connect(m_check, &QPushButton::clicked, &m_updater, &Updater::checkForUpdates);
    // Queued when the updater reports from another thread.
    connect(&m_updater, &Updater::lastUpdateCheckDateChanged, this, &UpdatesSettingsView::showLastChecked);

    auto *toggles = new QWidget;
    auto *togglesLayout = new QVBoxLayout(toggles);
    togglesLayout->setContentsMargins(0, 0, 0, 0);
    togglesLayout->addWidget(m_automaticChecks);
    togglesLayout->addWidget(m_automaticDownloads);

    SettingsForm form(this);
    form.addRow(tr("App Updates"), toggles, { .topAlignLabel = true });
    form.addSpacer(1.0);
    form.addRow(tr("Frequency"), m_frequency);
    form.addSpacer(2.0);
    form.addControl(m_check);
    form.addControl(m_lastChecked);

    reload();
}

void UpdatesSettingsView::reload()
{
    m_automaticChecks->setChecked(m_updater.automaticallyChecksForUpdates());
    m_automaticDownloads->setChecked(m_updater.automaticallyDownloadsUpdates());
    m_automaticDownloads->setEnabled(m_automaticChecks->isChecked());
    // An interval that is none of the list's shows no item chosen and stays until one is picked.
    const std::optional<UpdateCheckInterval> interval = updateCheckIntervalFromSeconds(m_updater.updateCheckInterval());
    m_frequency->setCurrentIndex(interval ? m_frequency->findData(seconds(*interval)) : -1);
    showLastChecked();
}

void UpdatesSettingsView::showEvent(QShowEvent *event)
{
    reload();
    QWidget::showEvent(event);
}

void UpdatesSettingsView::showLastChecked()
{
    const std::optional<QDateTime> date = m_updater.lastUpdateCheckDate();
    m_lastChecked->setVisible(date.has_value());
    if (!date)
        return;
    const QLocale locale;
    const QDateTime local = date->toLocalTime();
    const QString formatted = locale.toString(local.date(), QLocale::LongFormat) + QLatin1Char(' ')
        + locale.toString(local.time(), QLocale::ShortFormat);
    m_lastChecked->setText(tr("Last checked: %1").arg(formatted));
}
