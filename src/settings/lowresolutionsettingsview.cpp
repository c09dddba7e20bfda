// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/lowresolutionsettingsview.h"

#include "library/settings.h"
#include "settings/colorbutton.h"
#include "settings/settingsbinding.h"
#include "settings/settingsform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

LowResolutionSettingsView::LowResolutionSettingsView(const Settings &settings, QWidget *parent)
    : QWidget(parent)
    , m_pixelGaps(new ColorButton(tr("Pixel Gaps")))
    , m_reset(new QPushButton(tr("Reset")))
{
    const SettingsKey<HSBColor> &color = settings.lowResolutionOverlayColor();
    bind(m_pixelGaps, color);
    connect(m_reset, &QPushButton::clicked, this, [&color] { color.reset(); });

    auto *header = new QWidget;
    auto *headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(0, 0, 0, 4);
    headerLayout->setSpacing(2);
    auto *headline = new QLabel(tr("Low-Resolution Emulation"));
    QFont bold = headline->font();
    bold.setBold(true);
    headline->setFont(bold);
    headerLayout->addWidget(headline);
    // The window is sized to its content, so the explanation keeps its own line break and no more.
    headerLayout->addWidget(makeSecondaryLabel(
        tr("Emulates the appearance of a low-resolution display\nin the icon view on Apple XDR displays."), 0.92));

    auto *controls = new QWidget;
    auto *controlsLayout = new QHBoxLayout(controls);
    controlsLayout->setContentsMargins(0, 0, 0, 0);
    controlsLayout->addWidget(m_pixelGaps, 0, Qt::AlignVCenter);
    controlsLayout->addWidget(m_reset, 0, Qt::AlignVCenter);

    SettingsForm form(this);
    form.addSpanning(header);
    form.addRow(tr("Pixel Gaps"), controls);
}
