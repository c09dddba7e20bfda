// SPDX-License-Identifier: GPL-3.0-or-later
#include "collections/icondragmimedata.h"

IconDragMimeData::IconDragMimeData(Icon icon, std::shared_ptr<FileIconSetter> iconSetter, const Settings &settings)
    : IconMimeData(std::move(icon), std::move(iconSetter), settings)
{ }

QStringList IconDragMimeData::formats() const
{
    QStringList list = IconMimeData::formats();
    list.append(reorderFormat);
    return list;
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
        return QVariant(icon().id.toByteArray());
    return IconMimeData::retrieveData(mimeType, type);
}
