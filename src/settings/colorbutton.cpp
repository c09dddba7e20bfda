// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/colorbutton.h"

#include <QColorDialog>
#include <QEvent>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr QSize swatchSize(38, 16);

} // namespace

ColorButton::ColorButton(const QString &title, QWidget *parent)
    : QPushButton(parent)
{
    setAccessibleName(title);
    setToolTip(title);
    setIconSize(swatchSize);
    connect(this, &QPushButton::clicked, this, &ColorButton::openDialog);
    updateSwatch();
}

void ColorButton::setColor(const QColor &color)
{
    m_color = color;
    updateSwatch();
}

void ColorButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        updateSwatch();
    QPushButton::changeEvent(event);
}

void ColorButton::openDialog()
{
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    // Qt's own dialog: the desktop's may report a colour only once it closes.
    m_dialog = new QColorDialog(m_color, this);
    m_dialog->setOptions(QColorDialog::ShowAlphaChannel | QColorDialog::DontUseNativeDialog);
    m_dialog->setWindowTitle(accessibleName());
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_reported.reset();
    connect(m_dialog, &QColorDialog::currentColorChanged, this, [this](const QColor &color) {
        if (color == m_color)
            return;
        setColor(color);
        Q_EMIT colorPicked(color);
        // As the owner shows it back, which may round it.
        m_reported = m_color;
    });
    connect(m_dialog, &QDialog::finished, this, [this](int result) {
        const bool undo = result == QDialog::Rejected && m_reported && *m_reported == m_color;
        m_reported.reset();
        Q_EMIT dialogFinished(undo);
    });
    m_dialog->open();
}

void ColorButton::updateSwatch()
{
    const qreal ratio = devicePixelRatio();
    QPixmap swatch(swatchSize * ratio);
    swatch.setDevicePixelRatio(ratio);
    swatch.fill(Qt::transparent);
    QPainter painter(&swatch);
    const QRectF bounds(QPointF(0, 0), QSizeF(swatchSize));
    constexpr int square = 4;
    for (int y = 0; y < swatchSize.height(); y += square) {
        for (int x = 0; x < swatchSize.width(); x += square) {
            const bool dark = ((x + y) / square) % 2 != 0;
            painter.fillRect(QRect(x, y, square, square), dark ? QColor(0xc8, 0xc8, 0xc8) : Qt::white);
        }
    }
    painter.fillRect(bounds, m_color);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.end();
    setIcon(QIcon(swatch));
}
