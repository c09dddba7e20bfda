// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/detailstatusbar.h"

#include "library/settings.h"
#include "mainwindow/statusbartoggle.h"
#include "widgets/foregroundlevel.h"
#include "widgets/visualeffectview.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QProgressBar>
#include <QSignalBlocker>

DetailStatusBar::DetailStatusBar(const Settings &settings, QWidget *stepper, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_stepper(stepper)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_toggle = new StatusBarToggle(QStringLiteral("squareshape.split.2x2.dotted"), tr("Emulate Low-Resolution"), this);
    // The help text keeps its own spelling, as the stored setting's name does.
    m_toggle->setToolTip(tr("Emulate Low-Resoltion"));

    m_busyIndicator = new QProgressBar(this);
    m_busyIndicator->setObjectName(QStringLiteral("busyIndicator"));
    m_busyIndicator->setRange(0, 0);
    m_busyIndicator->setTextVisible(false);
    m_busyIndicator->setMaximumSize(80, 10);
    m_busyIndicator->setAccessibleName(tr("Working"));
    m_busyIndicator->hide();

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(padding, padding + 1, padding, padding);
    layout->addWidget(m_busyIndicator, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    if (m_stepper) {
        m_stepper->setParent(this);
        layout->addWidget(m_stepper, 0, Qt::AlignVCenter);
    }
    layout->addWidget(m_toggle, 0, Qt::AlignVCenter);

    connect(
        m_toggle, &QAbstractButton::toggled, this, [this](bool on) { m_settings.emulateLowResolution().write(on); });
    connect(m_settings.emulateLowResolution().notifier(), &SettingsKeyNotifier::changed, this,
        &DetailStatusBar::followEmulationSetting);
    followEmulationSetting();
    setContainerSelected(false);
}

void DetailStatusBar::followEmulationSetting()
{
    const QSignalBlocker blocker(m_toggle);
    m_toggle->setChecked(m_settings.emulateLowResolution().read());
    m_toggle->update();
}

void DetailStatusBar::setMotionPolicy(const MotionPolicy &policy)
{
    m_toggle->setMotionPolicy(policy);
}

void DetailStatusBar::setContainerSelected(bool selected)
{
    m_toggle->setStyleFlags({ .disabled = !selected });
    m_toggle->setEnabled(selected);
    setEnabled(selected);
}

void DetailStatusBar::setBusy(bool busy)
{
    m_busyIndicator->setVisible(busy);
}

void DetailStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), VisualEffectView::tint(VisualEffectView::Material::ultraThin, false, palette(), true));
    painter.fillRect(QRect(0, 0, width(), 1), foregroundColor(palette(), ForegroundLevel::quaternary));
}
