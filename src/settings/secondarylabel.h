// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A caption in the secondary foreground level: the window's text colour, dimmed. It is worked out
// from the label's own palette and again on every palette change, so it reads on light and dark
// palettes alike, also where a theme leaves the placeholder colour unset.
class SecondaryLabel : public QLabel
{
    Q_OBJECT

public:
    explicit SecondaryLabel(const QString &text, QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void followPalette();
};
