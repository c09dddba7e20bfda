// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/formgridrow.h"

#include "settings/radiopicker.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>

namespace {

// The height of the first line of a control: the first visible widget of its layout for a stack
// of controls, the whole control otherwise.
int firstLineHeight(QWidget *content)
{
    if (auto *picker = qobject_cast<RadioPicker *>(content))
        return picker->firstLineHeight();
    if (QLayout *layout = content->layout()) {
        for (int index = 0; index < layout->count(); ++index) {
            QWidget *widget = layout->itemAt(index)->widget();
            if (widget && !widget->isHidden())
                return widget->sizeHint().height();
        }
    }
    return content->sizeHint().height();
}

} // namespace

FormGridRow::FormGridRow(std::optional<QString> label, QWidget *content, Options options)
    : m_label(std::move(label))
    , m_content(content)
    , m_options(options)
{ }

QLabel *FormGridRow::addTo(QGridLayout *grid, int row) const
{
    if (auto *picker = qobject_cast<RadioPicker *>(m_content))
        picker->setTitleHidden(m_options.hideViewLabel);

    QLabel *label = nullptr;
    if (m_label) {
        label = new QLabel(QCoreApplication::translate("FormGridRow", "%1:").arg(*m_label));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(m_content);
        if (m_options.topAlignLabel) {
            // As tall as the control's first line and centred in it, so the baselines match.
            label->setMinimumHeight(firstLineHeight(m_content));
            grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignTop);
        } else {
            grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    grid->addWidget(m_content, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}
