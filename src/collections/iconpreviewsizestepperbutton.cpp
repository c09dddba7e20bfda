// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconpreviewsizestepperbutton.h"

#include "widgets/paintediconengine.h"

#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// A minus or a plus, drawn sharp at any scale.
class SymbolIconEngine : public PaintedIconEngine
{
public:
    explicit SymbolIconEngine(bool plus)
        : m_plus(plus)
    { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const qreal stroke = qMax<qreal>(1.5, rect.height() / 7.0);
        const QRectF box(rect);
        const QPointF centre = box.center();
        const qreal half = box.width() / 2.0;
        painter->setPen(QPen(Qt::black, stroke, Qt::SolidLine, Qt::RoundCap));
        painter->drawLine(
            QPointF(centre.x() - half + stroke / 2, centre.y()), QPointF(centre.x() + half - stroke / 2, centre.y()));
        if (m_plus)
            painter->drawLine(
                QPointF(centre.x(), box.top() + stroke / 2), QPointF(centre.x(), box.bottom() - stroke / 2));
        painter->restore();
    }

    QIconEngine *clone() const override { return new SymbolIconEngine(m_plus); }

private:
    bool m_plus;
};

} // namespace

IconPreviewSizeStepperButton::IconPreviewSizeStepperButton(
    IconPreviewSizeStepperButtonPosition position, const QString &title, QWidget *parent)
    : QAbstractButton(parent)
    , m_position(position)
{
    setText(title);
    setAccessibleName(title);
    setIcon(QIcon(new SymbolIconEngine(position == IconPreviewSizeStepperButtonPosition::trailing)));
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize IconPreviewSizeStepperButton::symbolSize() const
{
    // About the height of a digit, like a symbol set in the surrounding text.
    const int side = qMax(8, fontMetrics().capHeight() + 1);
    return { side, side };
}

QSize IconPreviewSizeStepperButton::sizeHint() const
{
    QSize size = IconPreviewSizeStepperButtonStyle { m_position, false }.sizeHint(symbolSize());
    size.setHeight(
        qMax(size.height(), fontMetrics().height() + 2 * IconPreviewSizeStepperButtonStyle::verticalPadding));
    return size;
}

QSize IconPreviewSizeStepperButton::minimumSizeHint() const
{
    return sizeHint();
}

void IconPreviewSizeStepperButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const IconPreviewSizeStepperButtonStyle style { m_position, !isEnabled() };
    style.paint(painter, rect(), icon(), symbolSize(), palette(), layoutDirection());
}

void IconPreviewSizeStepperButton::mouseReleaseEvent(QMouseEvent *event)
{
    m_modifiers = event->modifiers();
    QAbstractButton::mouseReleaseEvent(event);
}

void IconPreviewSizeStepperButton::keyReleaseEvent(QKeyEvent *event)
{
    m_modifiers = event->modifiers();
    QAbstractButton::keyReleaseEvent(event);
}
