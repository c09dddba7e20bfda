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
    const bool dark = ColorContrast::isDark(option.palette);
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

    IconCellPainter::Row row;
    row.rect = rect;
    row.edge = m_edge;
    row.selected = index.data(IconModel::SelectedRole).toBool();
    row.accent = option.palette.color(QPalette::Highlight);
    row.hasImage = index.data(IconModel::HasPictureRole).toBool();
    if (row.hasImage)
        row.picture = index.data(IconModel::PictureRole).value<QImage>();
    row.placeholder = option.palette.color(QPalette::Mid);
    row.placeholder.setAlpha(60);
    row.name = index.data(IconModel::NameRole).toString();
    row.font = option.font;
    row.nameColor = IconCellPainter::nameColor(dark, option.palette.color(QPalette::Text), m_background, row.selected);
    // The separator of the other scheme where the plain one would vanish into the colour.
    QColor separator = option.palette.color(QPalette::Mid);
    separator.setAlpha(110);
    const QColor opposite = dark ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 90);
    row.separator = ColorContrast::resolved(m_background, separator, opposite);
    row.topSeparator = index.row() == 0 || index.siblingAtRow(index.row() - 1).data(IconModel::IsHeaderRole).toBool();
    IconCellPainter::paintRow(*painter, row);
    painter->restore();
}
