// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QSpinBox;

// Stands where the preview-size stepper goes until it is built: a spin box that reads and writes
// "iconPreviewSize" in points. It has none of the stepper's dragging or cursor handling.
class PreviewSizeStepperStandIn : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewSizeStepperStandIn(QWidget *parent = nullptr);

    QSpinBox *spinBox() const { return m_spinBox; }

private:
    QSpinBox *m_spinBox;
};
