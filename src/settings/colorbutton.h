// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPointer>
#include <QPushButton>

#include <QColorDialog>

// A button showing a colour swatch (over a checkerboard, so opacity shows). Clicking it opens a
// colour dialog with opacity, which reports each colour as the user moves through them; cancelling
// the dialog reports the colour it started from again.
class ColorButton : public QPushButton
{
    Q_OBJECT

public:
    // `title` names the button for accessibility and titles its dialog.
    explicit ColorButton(const QString &title, QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    // Shows the colour; reports nothing.
    void setColor(const QColor &color);

    // The open dialog, null while none is open.
    QColorDialog *dialog() const { return m_dialog; }

Q_SIGNALS:
    void colorPicked(const QColor &color);

protected:
    void changeEvent(QEvent *event) override;

private:
    void openDialog();
    void updateSwatch();

    QColor m_color;
    QPointer<QColorDialog> m_dialog;
};
