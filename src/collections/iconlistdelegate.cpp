// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconlistdelegate.h"

#include "collections/iconcellpainter.h"
#include "collections/iconmodel.h"
#include "widgets/colorcontrast.h"

#include <QPainter>

IconListDelegate::IconListDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{ }

QSize IconListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // Rows take the view's width; the width asked for here only keeps a horizontal bar away.
    const int text = option.fontMetrics.height();
    if (index.data(IconModel::IsHeaderRole).toBool())
        return QSize(1, int(text * 1.5) + 8);
    return QSize(1, std::max(m_edge, int(text * 1.4)) + 8);
}

void IconListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QRect rect = option.rect;
    const bool dark = option.palette.color(QPalette::Window).lightness() < 128;
    painter->save();

    if (index.data(IconModel::IsHeaderRole).toBool()) {
        const QString text = index.data(IconModel::CreditRole).toString();
        auto found = m_headers.find(text);
        if (found == m_headers.end()) {
            if (m_headers.size() > 256)
                m_headers.clear();
            found = m_headers.insert(text, std::make_shared<CreditLineDocument>(text, option.font));
        }
        IconCellPainter::Header header;
        header.rect = rect;
        header.material = option.palette.color(QPalette::Window);
        IconCellPainter::paintHeader(*painter, header, *found.value(), option.palette);
        painter->restore();
        return;
    }

    const bool selected = index.data(IconModel::SelectedRole).toBool();
    if (selected)
        painter->fillRect(rect, option.palette.color(QPalette::Highlight));

    int x = rect.left() + 8;
    if (index.data(IconModel::HasPictureRole).toBool()) {
        const QRect picture(x, rect.top() + (rect.height() - m_edge) / 2, m_edge, m_edge);
        const QImage image = index.data(IconModel::PictureRole).value<QImage>();
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        if (!image.isNull()) {
            painter->drawImage(picture, image);
        } else {
            QColor placeholder = option.palette.color(QPalette::Mid);
            placeholder.setAlpha(60);
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(placeholder);
            painter->drawRoundedRect(picture.adjusted(2, 2, -2, -2), 3, 3);
        }
        x += m_edge + 8;
    }
    const QColor text = option.palette.color(QPalette::Text);
    painter->setPen(IconCellPainter::nameColor(dark, text, m_background, selected));
    painter->setFont(option.font);
    const QRect nameRect(x, rect.top(), rect.right() - x - 8, rect.height());
    painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
        option.fontMetrics.elidedText(index.data(IconModel::NameRole).toString(), Qt::ElideRight, nameRect.width()));

    // The separator of the other scheme where the plain one would vanish into the colour.
    QColor separator = option.palette.color(QPalette::Mid);
    separator.setAlpha(110);
    const QColor opposite = dark ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 90);
    painter->fillRect(
        QRect(rect.left(), rect.bottom(), rect.width(), 1), ColorContrast::resolved(m_background, separator, opposite));
    painter->restore();
}
