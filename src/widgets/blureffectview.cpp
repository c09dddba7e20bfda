// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/blureffectview.h"

BlurEffectView::BlurEffectView(QWidget *parent)
    : VisualEffectView(Material::fullScreenUI, true, parent)
{ }

QColor BlurEffectView::frost(const QPalette &palette)
{
    return tint(Material::fullScreenUI, true, palette, true);
}
