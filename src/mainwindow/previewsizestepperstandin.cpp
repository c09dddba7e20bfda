// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/previewsizestepperstandin.h"

#include "library/settings.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSpinBox>

PreviewSizeStepperStandIn::PreviewSizeStepperStandIn(QWidget *parent)
    : QWidget(parent)
    , m_spinBox(new QSpinBox(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_spinBox);
    m_spinBox->setRange(16, 512);
    m_spinBox->setSingleStep(16);
    m_spinBox->setSuffix(tr(" pt"));
    m_spinBox->setAccessibleName(tr("Preview Size"));
    const auto follow = [this] {
        const QSignalBlocker blocker(m_spinBox);
        m_spinBox->setValue(int(Settings::iconPreviewSize().read()));
    };
    connect(Settings::iconPreviewSize().notifier(), &SettingsKeyNotifier::changed, this, follow);
    connect(m_spinBox, &QSpinBox::valueChanged, this, [](int value) { Settings::iconPreviewSize().write(value); });
    follow();
}
