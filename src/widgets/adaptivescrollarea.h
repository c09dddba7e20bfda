// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QScrollArea>

// Shows its widget as it is, filling the area and without scroll bars, while the widget's size hint
// fits in both directions; once it does not, the widget scrolls along `axes` only, with a scroll
// bar along each of those axes where it is larger than the area, and is fitted to the area along
// the others. The fit is always measured in both directions, so a widget too wide for an area that
// scrolls only vertically still switches to scrolling (and is then narrowed to the area).
class AdaptiveScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit AdaptiveScrollArea(Qt::Orientations axes, QWidget *parent = nullptr);

    Qt::Orientations axes() const { return m_axes; }
    void setContent(QWidget *content);
    // Whether the content is too large and is shown scrolling.
    bool isScrolling() const { return m_scrolling; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void relayout();

    Qt::Orientations m_axes;
    bool m_scrolling = false;
    bool m_relayingOut = false;
};
