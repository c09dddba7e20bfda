// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/sidebarrowdelegate.h"

#include "library/thumbnailprovider.h"
#include "mainwindow/containerlistmodel.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr int horizontalPadding = 8;
constexpr int verticalPadding = 4;
constexpr int spacing = 8;

} // namespace

SidebarRowDelegate::SidebarRowDelegate(ThumbnailProvider &provider, const QObject *requester, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_provider(provider)
    , m_requester(requester)
{ }

void SidebarRowDelegate::setIconSize(SidebarIconSize size)
{
    m_iconSize = size;
}

int SidebarRowDelegate::iconSide(SidebarIconSize size)
{
    return size == SidebarIconSize::small ? 16 : 32;
}

void SidebarRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    // The selection and hover background only; the row's contents are drawn below.
    opt.text.clear();
    opt.icon = QIcon();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const auto *model = qobject_cast<const ContainerListModel *>(index.model());
    const IconContainer *container = model ? model->containerAt(index.row()) : nullptr;
    if (!container)
        return;

    const int side = iconSide(m_iconSize);
    const QRect square(
        opt.rect.left() + horizontalPadding, opt.rect.top() + (opt.rect.height() - side) / 2, side, side);
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QImage picture
        = m_provider.request(m_requester, container->id, container->iconImage(m_iconSize), side, ratio);
    if (!picture.isNull()) {
        QSizeF fitted = picture.deviceIndependentSize();
        fitted.scale(QSizeF(side, side), Qt::KeepAspectRatio);
        const QRectF target(square.left() + (side - fitted.width()) / 2, square.top() + (side - fitted.height()) / 2,
            fitted.width(), fitted.height());
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(target, picture);
        painter->restore();
    }

    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
        : (opt.state & QStyle::State_Active)                                ? QPalette::Active
                                                                            : QPalette::Inactive;
    const QRect textRect(square.right() + 1 + spacing, opt.rect.top(),
        opt.rect.right() - horizontalPadding - square.right() - spacing, opt.rect.height());
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
        opt.fontMetrics.elidedText(container->title, Qt::ElideRight, textRect.width()));
    painter->restore();
}

QSize SidebarRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    const int side = iconSide(m_iconSize);
    return { option.rect.width(), qMax(side, option.fontMetrics.height()) + 2 * verticalPadding };
}
