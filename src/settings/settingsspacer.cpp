// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsspacer.h"

#include <cmath>

SettingsSpacer::SettingsSpacer(double multiply, QWidget *parent)
    : QWidget(parent)
    , m_multiply(multiply)
{
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    setFixedHeight(sizeHint().height());
}

QSize SettingsSpacer::sizeHint() const
{
    return QSize(0, static_cast<int>(std::lround(m_multiply * settingsSpacingUnit)));
}
