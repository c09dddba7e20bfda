// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/iconmimedata.h"

#include <QImage>
#include <QLatin1StringView>
#include <QPoint>
#include <QPointer>

class QWidget;

// The data of an icon dragged from one of our icon views: what IconMimeData offers to other
// programs, plus a private type that lets our own views recognise a reordering drag. The private
// type is never listed in formats(), so no other program is offered it.
class IconDragMimeData : public IconMimeData
{
    Q_OBJECT

public:
    static constexpr QLatin1StringView reorderFormat { "application/x-glimbar-icon-reorder" };

    IconDragMimeData(Icon icon, std::shared_ptr<FileIconSetter> iconSetter, const Settings &settings);

    // The view the drag started from; a drag counts as ours only while it is set.
    void setSourceView(QObject *view) { m_sourceView = view; }

    // Drags `icon` out of `view` until it is dropped, as a copy, the selection answering the
    // drop's keys; `picture`, when there is one, goes with the pointer at `hotSpot`.
    static void startDrag(QWidget *view, const Icon &icon, std::shared_ptr<FileIconSetter> iconSetter,
        const Settings &settings, const QImage &picture = {}, QPoint hotSpot = {});

    bool hasFormat(const QString &mimeType) const override;
    // True only for our own object, started by one of our views, so a drag from another program
    // that copies the type name is still refused: it reaches us as some other QMimeData.
    static bool isOwnDrag(const QMimeData *data);

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    QPointer<QObject> m_sourceView;
};
