// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/iconmimedata.h"

#include <QLatin1StringView>
#include <QPointer>

// The data of an icon dragged from one of our icon views: what IconMimeData offers to other
// programs, plus a private type that lets our own views recognise a reordering drag.
class IconDragMimeData : public IconMimeData
{
    Q_OBJECT

public:
    static constexpr QLatin1StringView reorderFormat { "application/x-glimbar-icon-reorder" };

    IconDragMimeData(Icon icon, std::shared_ptr<FileIconSetter> iconSetter, const Settings &settings);

    // The view the drag started from; a drag counts as ours only while it is set.
    void setSourceView(QObject *view) { m_sourceView = view; }

    QStringList formats() const override;
    // True only for our own object, started by one of our views, so a drag from another program
    // that copies the type name is still refused: it reaches us as some other QMimeData.
    static bool isOwnDrag(const QMimeData *data);

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    QPointer<QObject> m_sourceView;
};
