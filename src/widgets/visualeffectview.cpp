// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/visualeffectview.h"

#include "widgets/colorcontrast.h"

#include <QPainter>

VisualEffectView::VisualEffectView(Material material, bool removeTint, QWidget *parent)
    : QWidget(parent)
    , m_material(material)
    , m_removeTint(removeTint)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    stripTint();
}

void VisualEffectView::setMaterial(Material material)
{
    m_material = material;
    stripTint();
    update();
}

void VisualEffectView::stripTint()
{
    if (!m_removeTint)
        return;
    m_material = Material::fullScreenUI;
    m_state = State::active;
}

QColor VisualEffectView::tint(Material material, bool removeTint, const QPalette &palette, bool windowActive)
{
    if (removeTint) {
        const QColor window = palette.color(QPalette::Window);
        QColor frost = ColorContrast::isDark(palette) ? window.lighter(125) : window.darker(104);
        frost.setAlpha(200);
        return frost;
    }
    const QPalette::ColorGroup group = windowActive ? QPalette::Active : QPalette::Inactive;
    switch (material) {
    case Material::contentBackground:
        return palette.color(group, QPalette::Base);
    case Material::fullScreenUI: {
        QColor color = palette.color(group, QPalette::Window);
        color.setAlphaF(0.9f);
        return color;
    }
    case Material::ultraThin: {
        QColor color = palette.color(group, QPalette::Window);
        color.setAlphaF(0.72f);
        return color;
    }
    }
    return Qt::transparent;
}

void VisualEffectView::paintEvent(QPaintEvent *)
{
    const bool active = m_state == State::active || (m_state == State::followsWindowActiveState && isActiveWindow());
    const QColor color = tint(m_material, m_removeTint, palette(), active);
    if (color.alpha() == 0)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), color);
}
