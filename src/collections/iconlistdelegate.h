// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collections/creditlinedocument.h"

#include <QHash>
#include <QStyledItemDelegate>

#include <memory>
#include <optional>

// Paints the list's rows from IconModel's roles: a header's credit line as it is, an icon's
// picture at the list size (a placeholder until it is ready) and its name, the accent behind
// icons of the icon selection, and separators tinted to stand out from the collection's colour.
class IconListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit IconListDelegate(QObject *parent = nullptr);

    // Row images are `edge` points square.
    void setEdge(int edge) { m_edge = edge; }
    int edge() const { return m_edge; }
    // The collection colour behind the list, when the list shows one.
    void setBackground(std::optional<QColor> colour) { m_background = std::move(colour); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int m_edge = 32;
    std::optional<QColor> m_background;
    mutable QHash<QString, std::shared_ptr<CreditLineDocument>> m_headers;
};
