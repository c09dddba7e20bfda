// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/brightnesslayerstandin.h"

#include "library/settings.h"

BrightnessLayerStandIn::BrightnessLayerStandIn(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    const auto follow = [this] { m_brightness = Settings::lowResolutionScreenBrightness().read(); };
    connect(Settings::lowResolutionScreenBrightness().notifier(), &SettingsKeyNotifier::changed, this, follow);
    follow();
}
