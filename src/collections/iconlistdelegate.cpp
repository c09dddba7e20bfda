// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/iconlistdelegate.h"

#include "collections/iconcellpainter.h"
#include "collections/iconlistmodel.h"
#include "library/iconselectionmanager.h"
#include "library/thumbnailprovider.h"
#include "widgets/colorcontrast.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QWidget>

IconListDelegate::IconListDelegate(IconSelectionManager &selectionManager, ThumbnailProvider &provider, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_selectionManager(selectionManager)
    , m_provider(provider)
{ }

QSize IconListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // Rows take the view's width; the width asked for here only keeps a horizontal bar away.
    const int text = option.fontMetrics.height();
    if (index.data(IconListModel::IsHeaderRole).toBool())
        return QSize(1, int(text * 1.5) + 8);
    return QSize(1, std::max(m_edge, int(text * 1.4)) + 8);
}

void IconListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const IconListModel *>(index.model());
    if (!model)
        return;
    const QRect rect = option.rect;
    const bool dark = ColorContrast::isDark(option.palette);
    painter->save();

    if (model->isHeader(index.row())) {
        const QString text = index.data(Qt::DisplayRole).toString();
        auto found = m_headers.find(text);
        if (found == m_headers.end()) {
            if (m_headers.size() > 256)
                m_headers.clear();
            found = m_headers.insert(text, std::make_shared<CreditLineDocument>(text, option.font));
        }
        QColor material = option.palette.color(QPalette::Window);
        painter->fillRect(rect, material);
        painter->setClipRect(rect);
        CreditLineDocument &document = *found.value();
        painter->translate(rect.left() + 8, rect.top() + (rect.height() - document.size().height()) / 2);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = option.palette;
        context.palette.setColor(QPalette::Text, option.palette.color(QPalette::WindowText));
        document.documentLayout()->draw(painter, context);
        painter->restore();
        return;
    }

    const Icon *icon = model->iconAt(index.row());
    if (!icon) {
        painter->restore();
        return;
    }
    const bool selected = m_selectionManager.selection().contains(icon->id);
    if (selected)
        painter->fillRect(rect, option.palette.color(QPalette::Highlight));

    int x = rect.left() + 8;
    if (const IconPreviewRep *rep = IconCellPainter::previewRep(*icon, m_edge)) {
        const QRect picture(x, rect.top() + (rect.height() - m_edge) / 2, m_edge, m_edge);
        const qreal ratio = option.widget ? option.widget->devicePixelRatioF() : 1.0;
        const QImage image = m_provider.request(option.widget, icon->id, rep->image, m_edge, ratio);
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
        option.fontMetrics.elidedText(icon->name, Qt::ElideRight, nameRect.width()));

    // The separator of the other scheme where the plain one would vanish into the colour.
    QColor separator = option.palette.color(QPalette::Mid);
    separator.setAlpha(110);
    const QColor opposite = dark ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 90);
    painter->fillRect(
        QRect(rect.left(), rect.bottom(), rect.width(), 1), ColorContrast::resolved(m_background, separator, opposite));
    painter->restore();
}
