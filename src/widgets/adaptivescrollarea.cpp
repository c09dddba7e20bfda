// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/adaptivescrollarea.h"

#include <QEvent>
#include <QScrollBar>

AdaptiveScrollArea::AdaptiveScrollArea(Qt::Orientations axes, QWidget *parent)
    : QScrollArea(parent)
    , m_axes(axes)
{
    // The area sizes its widget itself: QScrollArea's own resizing goes by the minimum size, not
    // by the size the content asks for.
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A widget without a layout of its own tells its parent, the viewport, that its size hint changed.
    viewport()->installEventFilter(this);
}

void AdaptiveScrollArea::setContent(QWidget *content)
{
    if (widget())
        widget()->removeEventFilter(this);
    setWidget(content);
    if (content)
        content->installEventFilter(this);
    relayout();
}

void AdaptiveScrollArea::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    relayout();
}

bool AdaptiveScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == widget() || watched == viewport()) && event->type() == QEvent::LayoutRequest)
        relayout();
    return QScrollArea::eventFilter(watched, event);
}

void AdaptiveScrollArea::relayout()
{
    QWidget *content = widget();
    if (!content || m_relayingOut)
        return;
    m_relayingOut = true;
    const QSize hint = content->sizeHint().expandedTo(content->minimumSizeHint()).expandedTo(content->minimumSize());
    // The room without any scroll bar; Qt leaves out the bars that are always shown.
    QSize available = maximumViewportSize();
    if (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        available.rwidth() += verticalScrollBar()->sizeHint().width();
    if (horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        available.rheight() += horizontalScrollBar()->sizeHint().height();
    m_scrolling = hint.width() > available.width() || hint.height() > available.height();

    // A bar only along an axis that has something to scroll, as a scroll view's indicators; one bar
    // takes room from the other direction.
    const int barWidth = verticalScrollBar()->sizeHint().width();
    const int barHeight = horizontalScrollBar()->sizeHint().height();
    bool horizontal = m_scrolling && m_axes.testFlag(Qt::Horizontal) && hint.width() > available.width();
    const bool vertical = m_scrolling && m_axes.testFlag(Qt::Vertical)
        && hint.height() > available.height() - (horizontal ? barHeight : 0);
    horizontal
        = horizontal || (vertical && m_axes.testFlag(Qt::Horizontal) && hint.width() > available.width() - barWidth);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);

    QSize viewportSize = available;
    if (vertical)
        viewportSize.rwidth() -= barWidth;
    if (horizontal)
        viewportSize.rheight() -= barHeight;
    viewportSize = viewportSize.expandedTo(QSize(0, 0));
    content->resize(horizontal ? std::max(hint.width(), viewportSize.width()) : viewportSize.width(),
        vertical ? std::max(hint.height(), viewportSize.height()) : viewportSize.height());
    m_relayingOut = false;
}
