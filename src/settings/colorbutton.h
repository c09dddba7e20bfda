// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPointer>
#include <QPushButton>

#include <QColorDialog>

#include <optional>

// A button showing a colour swatch (over a checkerboard, so opacity shows). Clicking it opens a
// colour dialog with opacity, which reports each colour as the user moves through them. Cancelling
// asks the owner to undo what the dialog reported, unless the colour was changed from elsewhere
// since (a reset, another window); the owner knows what stood before.
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
    // The dialog closed. `undo`: it was cancelled after reporting colours, and the last of them is
    // still shown.
    void dialogFinished(bool undo);

protected:
    void changeEvent(QEvent *event) override;

private:
    void openDialog();
    void updateSwatch();

    QColor m_color;
    QPointer<QColorDialog> m_dialog;
    // The last colour the open dialog reported; none before its first.
    std::optional<QColor> m_reported;
};
