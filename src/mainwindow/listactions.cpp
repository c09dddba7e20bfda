// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/listactions.h"

#include "mainwindow/listactionbutton.h"
#include "widgets/foregroundlevel.h"
#include "widgets/symbol.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr int dividerPadding = 6;

bool hasAdd(const ListActionsOptions &options)
{
    return options.addButtonTitle && options.addAction;
}

bool hasRemove(const ListActionsOptions &options)
{
    return options.removeButtonTitle && options.removeAction;
}

QFrame *makeDivider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedSize(1, listActionButtonSize - 2 * dividerPadding);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, foregroundColor(parent->palette(), ForegroundLevel::quaternary));
    line->setPalette(palette);
    return line;
}

} // namespace

QList<ListActionsElement> listActionsComposition(const ListActionsOptions &options)
{
    QList<ListActionsElement> elements;
    if (hasAdd(options))
        elements << ListActionsElement::addButton << ListActionsElement::divider;
    if (hasRemove(options))
        elements << ListActionsElement::removeButton;
    if (options.moreActionItems) {
        if (options.addAction && options.removeAction)
            elements << ListActionsElement::divider;
        elements << ListActionsElement::moreMenu;
    }
    if (options.inlineAction)
        elements << ListActionsElement::divider << ListActionsElement::inlineButton;
    return elements;
}

ListActions::ListActions(ListActionsOptions options, QWidget *parent)
    : QWidget(parent)
    , m_options(std::move(options))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMaximumHeight(listActionButtonSize);
    build();
}

void ListActions::build()
{
    auto *layout = new QHBoxLayout(this);
    const int inset = m_options.border ? 1 : 0;
    layout->setContentsMargins(inset, inset, inset, inset);
    layout->setSpacing(0);
    for (const ListActionsElement element : listActionsComposition(m_options)) {
        switch (element) {
        case ListActionsElement::addButton: {
            auto *button = new ListActionButton(QStringLiteral("plus"), *m_options.addButtonTitle, this);
            button->setStyleFlags({ .disabled = m_options.addButtonDisabled, .flexibleWidth = false });
            connect(button, &QAbstractButton::clicked, this, [this] { m_options.addAction(); });
            layout->addWidget(button);
            break;
        }
        case ListActionsElement::removeButton: {
            auto *button = new ListActionButton(QStringLiteral("minus"), *m_options.removeButtonTitle, this);
            button->setStyleFlags({ .disabled = m_options.removeButtonDisabled, .flexibleWidth = false });
            connect(button, &QAbstractButton::clicked, this, [this] { m_options.removeAction(); });
            layout->addWidget(button);
            break;
        }
        case ListActionsElement::divider:
            layout->addWidget(makeDivider(this), 0, Qt::AlignVCenter);
            break;
        case ListActionsElement::moreMenu: {
            m_moreButton = new QToolButton(this);
            m_moreButton->setText(tr("More"));
            m_moreButton->setToolTip(tr("More"));
            m_moreButton->setAccessibleName(tr("More"));
            m_moreButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
            m_moreButton->setPopupMode(QToolButton::InstantPopup);
            m_moreButton->setAutoRaise(true);
            m_moreButton->setMenu(m_options.moreActionItems);
            m_moreButton->setIconSize(QSize(16, 16));
            m_moreButton->setFixedHeight(listActionButtonSize);
            m_moreButton->setEnabled(!m_options.moreActionsDisabled);
            updateMoreButtonIcon();
            layout->addSpacing(dividerPadding);
            layout->addWidget(m_moreButton);
            layout->addSpacing(dividerPadding);
            break;
        }
        case ListActionsElement::inlineButton: {
            auto *button = new ListActionButton(m_options.inlineActionTitle.value_or(QString()), this);
            button->setStyleFlags({ .disabled = m_options.inlineActionDisabled, .flexibleWidth = true });
            connect(button, &QAbstractButton::clicked, this, [this] { m_options.inlineAction(); });
            layout->addWidget(button);
            break;
        }
        }
    }
    layout->addStretch(1);
}

void ListActions::updateMoreButtonIcon()
{
    if (!m_moreButton)
        return;
    const ForegroundLevel level
        = m_options.moreActionsDisabled ? ForegroundLevel::tertiary : ForegroundLevel::secondary;
    m_moreButton->setIcon(Symbol::icon(QStringLiteral("ellipsis.circle"), foregroundColor(palette(), level)));
}

QSize ListActions::sizeHint() const
{
    return { QWidget::sizeHint().width(), listActionButtonSize };
}

void ListActions::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor separator = foregroundColor(palette(), ForegroundLevel::quaternary);
    if (m_options.border) {
        painter.setPen(QPen(separator, 1));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    } else {
        painter.fillRect(QRect(0, 0, width(), 1), separator);
    }
}

void ListActions::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        updateMoreButtonIcon();
    QWidget::changeEvent(event);
}
