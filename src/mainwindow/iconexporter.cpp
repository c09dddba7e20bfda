// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/iconexporter.h"

#include "library/icontransfer.h"
#include "library/utilities.h"
#include "mainwindow/failurealert.h"
#include "model/containererror.h"
#include "model/iconfile.h"
#include "platform/desktop/fileiconsetter.h"
#include "platform/files/safefilename.h"
#include "platform/files/safewrite.h"
#include "platform/text/standardoutput.h"
#include "platform/text/translationcontext.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr TranslationContext tr { "IconExporter" };

bool isTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// `stem` + `extension` in `folder`, or the first numbered variant ("Star 2.icns") that names nothing yet.
QString freePath(const QString &folder, const QString &stem, const QString &extension)
{
    QString path = folder + u'/' + fitFileName(stem, extension);
    for (int number = 2; isTaken(path); ++number)
        path = folder + u'/' + fitFileName(stem, u' ' + QString::number(number) + extension);
    return path;
}

bool removeWritten(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

// The custom-icon folder a drag would hand over, made in `folder` with the same picture; its path,
// or empty with `failure` set where the caller's message says too little. A folder without its
// picture is no export, so none is left behind.
QString writeFolder(const Icon &icon, const QString &folder, FileIconSetter &iconSetter, QString &failure)
{
    const std::optional<QImage> image = IconTransfer::folderIconImage(icon);
    if (!image)
        return {};
    const QString path = freePath(folder, IconTransfer::suggestedFileName(icon), QString());
    if (!QDir().mkdir(path)) {
        failure = tr("The folder “%1” couldn’t be created.").arg(QFileInfo(path).fileName());
        return {};
    }
    if (!iconSetter.setIcon(*image, path)) {
        removeWritten(path);
        return {};
    }
    return path;
}

// The icon's data as a file of its kind in `folder`; its path, or empty with `failure` set.
QString writeData(const Icon &icon, const QString &format, const QString &folder, QString &failure)
{
    // The bytes a drag hands over: those of the icon's own kind, as stored.
    const QByteArray bytes = icon.primaryData();
    if (bytes.isEmpty()) {
        // A file changed since the load says so, and which; "no data" would send the user looking
        // for a fault in the icon.
        QString unreadable;
        if (!iconFileData(icon).read(&unreadable) && !unreadable.isEmpty())
            failure = unreadable;
        else
            failure = errorDescription(ContainerError::missingIconData);
        return {};
    }
    const QString extension = format == IconTransfer::icnsFormat ? u".icns"_s : u".png"_s;
    const QString path = freePath(folder, IconTransfer::suggestedFileName(icon), extension);
    // The system's own reason on failure: a buffered writer's commit loses it ("Unknown error").
    QString reason;
    if (!writeFileAtomically(path, bytes, &reason)) {
        failure = tr("The file “%1” couldn’t be saved: %2").arg(QFileInfo(path).fileName(), reason);
        return {};
    }
    return path;
}

} // namespace

IconExporter::IconExporter(
    std::shared_ptr<FileIconSetter> iconSetter, const Settings &settings, QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_iconSetter(std::move(iconSetter))
    , m_settings(settings)
    , m_dialogParent(dialogParent)
    , m_picker(&IconExporter::chooseFolder)
{ }

QList<Icon> IconExporter::exportItems(
    const ContainerManager &library, const IconSelection &iconSelection, const QSet<QUuid> &containerSelection)
{
    QList<Icon> icons = selectedIcons(library, iconSelection);
    if (!icons.isEmpty())
        return icons;
    for (const IconContainer &container : Utilities::selectedContainers(library, containerSelection))
        icons.append(container.icons);
    return icons;
}

Result<QList<QUrl>, QString> IconExporter::writeIcons(const QList<Icon> &icons, const QString &folder,
    const std::shared_ptr<FileIconSetter> &iconSetter, const Settings &settings)
{
    if (!QFileInfo(folder).isDir())
        return tr("The folder “%1” doesn’t exist.").arg(folder);
    QStringList written;
    QList<QUrl> urls;
    for (const Icon &icon : icons) {
        // What a drag would offer, written here directly: a drag's data would make its folder in
        // the drag folder too.
        const QStringList formats = IconTransfer::transferRepresentation(icon, settings);
        QString failure = tr("The icon “%1” couldn’t be exported.").arg(icon.name);
        QString path;
        if (!formats.isEmpty() && formats.constFirst() == IconTransfer::folderFormat)
            path = writeFolder(icon, folder, *iconSetter, failure);
        else if (!formats.isEmpty())
            path = writeData(icon, formats.constFirst(), folder, failure);
        if (path.isEmpty()) {
            for (const QString &done : std::as_const(written))
                removeWritten(done);
            return failure;
        }
        written.append(path);
        urls.append(QUrl::fromLocalFile(QFileInfo(path).isDir() ? path + u'/' : path));
    }
    return urls;
}

QString IconExporter::savedLine(const QList<QUrl> &urls)
{
    QStringList texts;
    for (const QUrl &url : urls)
        texts.append(url.toString(QUrl::FullyEncoded));
    return u"Saved icons to ["_s + texts.join(u", "_s) + u']';
}

QString IconExporter::chooseFolder(QWidget *parent)
{
    return QFileDialog::getExistingDirectory(parent, tr("Export Icons"));
}

void IconExporter::exportIcons(const QList<Icon> &icons)
{
    if (icons.isEmpty())
        return;
    const QString folder = m_picker(m_dialogParent);
    if (folder.isEmpty())
        return;
    const auto urls = writeIcons(icons, folder, m_iconSetter, m_settings);
    printLine(urls ? savedLine(urls.value()) : urls.error());
    if (urls)
        return;
    m_alert = FailureAlert::show(m_dialogParent, tr("The icons couldn’t be exported."), urls.error());
    Q_EMIT exportFailed(urls.error());
    // The next try must find the files as they are now.
    if (std::any_of(icons.cbegin(), icons.cend(), [](const Icon &icon) {
            const IconData &data = iconFileData(icon);
            return data.isStored() && !data.read();
        }))
        Q_EMIT iconFilesChanged();
}
