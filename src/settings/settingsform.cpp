// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsform.h"

#include "settings/secondarylabel.h"
#include "settings/settingsspacer.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

SettingsForm::SettingsForm(QWidget *tab)
{
    auto *outer = new QVBoxLayout(tab);
    outer->setContentsMargins(20, 20, 20, 20);
    m_grid = new QGridLayout;
    m_grid->setVerticalSpacing(6);
    outer->addLayout(m_grid);
    outer->setAlignment(m_grid, Qt::AlignHCenter | Qt::AlignTop);
    outer->addStretch();
    // The label column takes the width its longest label needs; the form as a whole is centred.
    m_grid->setColumnStretch(0, 0);
    m_grid->setColumnStretch(1, 0);
}

QLabel *SettingsForm::addRow(const QString &label, QWidget *control, FormGridRow::Options options)
{
    return FormGridRow(label, control, options).addTo(m_grid, m_rows++);
}

void SettingsForm::addControl(QWidget *control)
{
    FormGridRow(std::nullopt, control, {}).addTo(m_grid, m_rows++);
}

void SettingsForm::addSpanning(QWidget *widget)
{
    m_grid->addWidget(widget, m_rows++, 0, 1, 2);
}

void SettingsForm::addSpacer(double multiply)
{
    // Rows already have the grid's spacing between them; the spacer adds its own height on top.
    m_grid->addWidget(new SettingsSpacer(multiply), m_rows++, 0, 1, 2);
}

QLabel *makeSecondaryLabel(const QString &text, double relativeSize, QWidget *parent)
{
    auto *label = new SecondaryLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * relativeSize);
    label->setFont(font);
    return label;
}
