// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// The unit of vertical space between groups of settings, in points.
inline constexpr double settingsSpacingUnit = 16.0;

// A gap of `multiply` spacing units between groups of settings. Its height is fixed: it never
// grows or shrinks with the window.
class SettingsSpacer : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsSpacer(double multiply, QWidget *parent = nullptr);

    double multiply() const { return m_multiply; }
    QSize sizeHint() const override;

private:
    double m_multiply;
};
