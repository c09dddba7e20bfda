// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/formgridrow.h"

#include <QString>

class QGridLayout;
class QLabel;
class QWidget;

// The outer shape every settings tab shares: a two-column form (labels flush right, controls flush
// left beside them) centred at the top of the tab, with the standard margins around it.
class SettingsForm
{
public:
    // Lays the form into `tab`, which must have no layout yet.
    explicit SettingsForm(QWidget *tab);

    // A labelled row; returns its label.
    QLabel *addRow(const QString &label, QWidget *control, FormGridRow::Options options = {});
    // A control in the second column without a label.
    void addControl(QWidget *control);
    // A widget across both columns.
    void addSpanning(QWidget *widget);
    void addSpacer(double multiply);

private:
    QGridLayout *m_grid;
    int m_rows = 0;
};

// Text in the secondary foreground level (the window's text, dimmed), its font scaled by
// `relativeSize`. It follows palette changes, so it reads on light and dark colour schemes alike.
QLabel *makeSecondaryLabel(const QString &text, double relativeSize, QWidget *parent = nullptr);
