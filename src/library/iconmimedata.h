// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icon.h"

#include <QFuture>
#include <QMimeData>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

#include <optional>

class FileIconSetter;
class Settings;

// The data of one icon dragged out of the window, offered as IconTransfer::transferRepresentation()
// says each time a receiver asks, plus the suggested file name while data is offered. Nothing is
// produced before a receiver asks for it, except the icon's bytes and its folder: both start on
// worker threads when the drag starts (the folder when it is offered), so that neither the disk
// nor the custom-icon store is waited on during the drag; a receiver's request (which Qt delivers
// synchronously) then waits for them, or starts the folder's export when it was not offered at
// first. One export per drag: later requests reuse its folder. When the folder cannot be made it
// is no longer offered. An icon without bytes (none in memory, or a file that changed or vanished
// since the load) offers nothing once that is known, and hands over nothing when asked before.
//
// The receiver must work on a copy of the folder: start the drag with Qt::CopyAction only.
// Lives on the GUI thread, like the drag that owns it.
class IconMimeData : public QMimeData
{
    Q_OBJECT

public:
    // The folder's custom icon is set through `iconSetter`, which the export keeps while it runs.
    // What is offered follows `settings`, which must outlive the object.
    IconMimeData(Icon icon, std::shared_ptr<FileIconSetter> iconSetter, const Settings &settings);
    ~IconMimeData() override;

    const Icon &icon() const { return m_icon; }
    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    // True once the icon is known to have no bytes: nothing is offered then.
    bool carriesNothing() const;
    // The folder's export, started when first needed.
    const QFuture<std::optional<QString>> &folderExport() const;

    Icon m_icon;
    std::shared_ptr<FileIconSetter> m_iconSetter;
    const Settings *m_settings;
    // The icon's stored bytes, read from its file as the drag starts.
    QFuture<QByteArray> m_bytes;
    mutable std::optional<QFuture<std::optional<QString>>> m_folder;
};
