// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/iconmimedata.h"

#include "library/icontransfer.h"
#include "platform/desktop/fileiconsetter.h"

#include <QtConcurrent>
#include <QUrl>

IconMimeData::IconMimeData(Icon icon, std::shared_ptr<FileIconSetter> iconSetter, const Settings &settings)
    : m_icon(std::move(icon))
    , m_iconSetter(std::move(iconSetter))
    , m_settings(&settings)
    , m_bytes(QtConcurrent::run([icon = m_icon] { return icon.primaryData(); }))
{
    if (IconTransfer::transferRepresentation(m_icon, settings).contains(IconTransfer::folderFormat))
        folderExport();
}

// A running export or read is not waited for: each holds its own copy of the icon, and the
// export's folder is reused by the next drag.
IconMimeData::~IconMimeData() = default;

bool IconMimeData::carriesNothing() const
{
    const bool noData = m_icon.type == IconFileType::icns ? !m_icon.icnsData && !m_icon.imageData : !m_icon.imageData;
    // A file that changed since the load is known to give nothing once its read has ended.
    return noData || (m_bytes.isResultReadyAt(0) && m_bytes.resultAt(0).isEmpty());
}

QStringList IconMimeData::formats() const
{
    // Data of no bytes would make an empty file at the receiver, a folder a folder without the icon.
    if (carriesNothing())
        return {};
    QStringList formats = IconTransfer::transferRepresentation(m_icon, *m_settings);
    // The result is ready a moment before the future counts as finished; a receiver that has just
    // been told there is no folder must not be offered it again in that moment.
    if (m_folder && m_folder->isResultReadyAt(0) && !m_folder->resultAt(0))
        formats.removeOne(IconTransfer::folderFormat);
    if (formats.contains(IconTransfer::icnsFormat) || formats.contains(IconTransfer::pngFormat))
        formats.append(IconTransfer::suggestedFileNameFormat);
    return formats;
}

QVariant IconMimeData::retrieveData(const QString &mimeType, QMetaType) const
{
    // Always bytes: QMimeData turns a URI list into the URLs a caller of urls() asks for.
    if (!formats().contains(mimeType))
        return {};
    if (mimeType == IconTransfer::folderFormat) {
        const std::optional<QString> folder = folderExport().result();
        if (!folder)
            return {};
        return QVariant(QUrl::fromLocalFile(*folder).toEncoded() + "\r\n");
    }
    if (mimeType == IconTransfer::suggestedFileNameFormat)
        return QVariant(IconTransfer::suggestedFileName(m_icon).toUtf8());
    // The stored bytes as they are: an ICNS icon without ICNS data hands over its image data.
    const QByteArray bytes = m_bytes.result();
    if (bytes.isEmpty())
        return {};
    return QVariant(bytes);
}

const QFuture<std::optional<QString>> &IconMimeData::folderExport() const
{
    if (!m_folder)
        m_folder = QtConcurrent::run(
            [icon = m_icon, setter = m_iconSetter] { return IconTransfer::exportIconFolder(icon, *setter); });
    return *m_folder;
}
