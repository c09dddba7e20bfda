// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/exportstandin.h"

#include "library/containermanager.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

ExportStandIn::ExportStandIn(ExportFormat format, std::optional<IconContainer> container, QWidget *parent)
    : QDialog(parent)
    , m_format(format)
    , m_container(std::move(container))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Export"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(this);
    label->setTextFormat(Qt::RichText);
    label->setText(m_container ? ContainerManager::creditLine(*m_container) : title(format));
    layout->addWidget(label);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
