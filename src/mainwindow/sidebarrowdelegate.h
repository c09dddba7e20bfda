// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconenums.h"

#include <QStyledItemDelegate>

class ThumbnailProvider;

// Paints a sidebar row: the container's icon in a square of the sidebar icon size, then its title.
// The picture comes from the thumbnail provider under the container's id; until it is ready the
// square stays empty and the view repaints the row on the provider's ready().
class SidebarRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    SidebarRowDelegate(ThumbnailProvider &provider, const QObject *requester, QObject *parent = nullptr);

    void setIconSize(SidebarIconSize size);
    SidebarIconSize iconSize() const { return m_iconSize; }
    // The side of the icon square in points: 32 for the default size, 16 for small.
    static int iconSide(SidebarIconSize size);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    ThumbnailProvider &m_provider;
    const QObject *m_requester;
    SidebarIconSize m_iconSize = SidebarIconSize::defaultSize;
};
