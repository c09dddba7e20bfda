// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/xdrview.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

XDRView::XDRView(const QRect &frame, float contrast, float brightness, QWidget *parent)
    : QWidget(parent)
    , m_contrast(contrast)
    , m_brightness(brightness)
{
    setObjectName(QStringLiteral("brightnessView"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(frame);
    if (parent)
        parent->installEventFilter(this);
    setup();
}

XDRView *XDRView::overlay(const SettingsKey<float> &brightness, QWidget *parent)
{
    auto *view = new XDRView(QRect(0, 0, 1, 1), 1.0F, brightness.read(), parent);
    view->fillParent();
    // Made while the window is open, so it would otherwise stay hidden.
    view->show();
    connect(brightness.notifier(), &SettingsKeyNotifier::changed, view, [view, &brightness] {
        view->setBrightness(brightness.read());
        view->setup();
    });
    return view;
}

void XDRView::setup()
{
    m_layerColor = layerColor(m_contrast, m_brightness);
    update();
}

QColor XDRView::layerColor(float contrast, float brightness)
{
    // The colour controls add the brightness, then stretch around mid-grey by the contrast.
    double value = 1.0 + static_cast<double>(brightness);
    value = (value - 0.5) * static_cast<double>(contrast) + 0.5;
    if (!std::isfinite(value))
        value = 1.0;
    const auto component = static_cast<float>(std::clamp(value, 0.0, 1.0));
    return QColor::fromRgbF(component, component, component);
}

void XDRView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.fillRect(rect(), m_layerColor);
}

bool XDRView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fillParent();
    return QWidget::eventFilter(watched, event);
}

void XDRView::fillParent()
{
    if (QWidget *parent = parentWidget()) {
        setGeometry(parent->rect());
        raise();
    }
}
