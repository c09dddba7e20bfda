// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/icondragmimedata.h"

#include "platform/ui/dragselectionresponder.h"

#include <QDrag>
#include <QPixmap>
#include <QWidget>

IconDragMimeData::IconDragMimeData(Icon icon, std::shared_ptr<FileIconSetter> iconSetter, const Settings &settings)
    : IconMimeData(std::move(icon), std::move(iconSetter), settings)
{ }

void IconDragMimeData::startDrag(QWidget *view, const Icon &icon, std::shared_ptr<FileIconSetter> iconSetter,
    const Settings &settings, const QImage &picture, QPoint hotSpot)
{
    auto *data = new IconDragMimeData(icon, std::move(iconSetter), settings);
    data->setSourceView(view);
    auto *drag = new QDrag(view);
    drag->setMimeData(data);
    new DragSelectionResponder(drag);
    if (!picture.isNull()) {
        // The picture's pixel ratio carries over, so it is drawn at its size in points.
        drag->setPixmap(QPixmap::fromImage(picture));
        drag->setHotSpot(hotSpot);
    }
    // Receivers get a copy; our own views reorder on the same action.
    drag->exec(Qt::CopyAction);
}

// The private type stays out of the list the display server and GTK's receivers are given, so
// other programs never see it; our own views get this very object and ask hasFormat().
bool IconDragMimeData::hasFormat(const QString &mimeType) const
{
    if (mimeType == reorderFormat)
        return !m_sourceView.isNull();
    return IconMimeData::hasFormat(mimeType);
}

bool IconDragMimeData::isOwnDrag(const QMimeData *data)
{
    const auto *own = qobject_cast<const IconDragMimeData *>(data);
    return own && own->m_sourceView && own->hasFormat(reorderFormat);
}

QVariant IconDragMimeData::retrieveData(const QString &mimeType, QMetaType type) const
{
    // The identifier alone: nothing reads it to decide what moves.
    if (mimeType == reorderFormat)
        return m_sourceView ? QVariant(icon().id.toByteArray()) : QVariant();
    return IconMimeData::retrieveData(mimeType, type);
}
