// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/secondarylabel.h"

#include "widgets/foregroundlevel.h"

#include <QEvent>

SecondaryLabel::SecondaryLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    // The text colour stays inherited; the dimmed colour lives in a role of its own.
    setForegroundRole(QPalette::PlaceholderText);
    followPalette();
}

void SecondaryLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        followPalette();
}

void SecondaryLabel::followPalette()
{
    const QColor secondary = foregroundColor(palette(), ForegroundLevel::secondary);
    if (palette().color(QPalette::PlaceholderText) == secondary)
        return;
    QPalette own = palette();
    own.setColor(QPalette::PlaceholderText, secondary);
    setPalette(own);
}
