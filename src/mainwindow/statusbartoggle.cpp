// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/statusbartoggle.h"

#include "widgets/crossfade.h"
#include "widgets/motionanimation.h"

#include <QPainter>

using namespace Qt::StringLiterals;

StatusBarToggle::StatusBarToggle(const QString &symbol, const QString &text, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_onness(new MotionAnimation(MotionPolicy::Timing::standard, 0.0, this))
{
    m_onness->setObjectName(u"toggleAnimation"_s);
    connect(m_onness, &MotionAnimation::changed, this, qOverload<>(&QWidget::update));
    setText(text);
    setAccessibleName(text);
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StatusBarToggle::setMotionPolicy(const MotionPolicy &policy)
{
    m_onness->setPolicy(policy);
}

void StatusBarToggle::checkStateSet()
{
    QAbstractButton::checkStateSet();
    m_onness->moveTo(isChecked() ? 1.0 : 0.0);
}

void StatusBarToggle::setStyleFlags(StatusBarToggleStyle style)
{
    m_style = style;
    update();
}

QSize StatusBarToggle::sizeHint() const
{
    return m_style.size();
}

void StatusBarToggle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal onness = m_onness->value().toDouble();
    if (onness <= 0 || onness >= 1) {
        m_style.paint(painter, rect(), palette(), m_symbol, onness >= 1);
        return;
    }
    const auto look = [this](bool on) {
        QPixmap pixmap(size() * devicePixelRatioF());
        pixmap.setDevicePixelRatio(devicePixelRatioF());
        pixmap.fill(Qt::transparent);
        QPainter lookPainter(&pixmap);
        m_style.paint(lookPainter, rect(), palette(), m_symbol, on);
        return pixmap;
    };
    painter.drawPixmap(0, 0, CrossFade::mix(look(false), look(true), onness));
}
