// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/viewoptionsstandin.h"

#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

ViewOptionsStandIn::ViewOptionsStandIn(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"viewOptionsWindow"_s);
    setWindowTitle(tr("View Options"));
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto *content = new QWidget(this);
    content->setFixedSize(240, 160);
    layout->addWidget(content);
}
