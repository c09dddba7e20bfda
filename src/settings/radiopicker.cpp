// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/radiopicker.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

RadioPicker::RadioPicker(const QStringList &options, QWidget *parent)
    : RadioPicker(QString(), options, parent)
{ }

RadioPicker::RadioPicker(const QString &title, const QStringList &options, QWidget *parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    if (!title.isEmpty()) {
        m_title = new QLabel(title, this);
        layout->addWidget(m_title);
        setAccessibleName(title);
    }
    for (qsizetype position = 0; position < options.size(); ++position) {
        auto *button = new QRadioButton(options.at(position), this);
        m_group->addButton(button, static_cast<int>(position));
        layout->addWidget(button);
    }
}

QRadioButton *RadioPicker::button(int position) const
{
    return qobject_cast<QRadioButton *>(m_group->button(position));
}

void RadioPicker::setTitleHidden(bool hidden)
{
    if (m_title)
        m_title->setHidden(hidden);
}

int RadioPicker::firstLineHeight() const
{
    if (m_title && !m_title->isHidden())
        return m_title->sizeHint().height();
    const QRadioButton *first = button(0);
    return first ? first->sizeHint().height() : 0;
}

QString sizeOptionText(const QString &title, qint64 points)
{
    return QCoreApplication::translate("RadioPicker", "%1 (%2 pt)").arg(title).arg(points);
}
