// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/containererror.h"
#include "model/containerresult.h"
#include "model/iconcontainer.h"
#include "model/iconlookup.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

// The icon library of the running program: the containers of the user's library, the lookups of
// every icon a load has read, and the library's last error. One shared instance lives on the GUI
// thread. Every write of a field emits that field's change signal, also when the value is unchanged.
// Results computed inside a routine reach the fields only through queued calls on the GUI thread,
// so a caller sees them once control returns to the event loop; the caller never waits for them.
class ContainerManager : public QObject
{
    Q_OBJECT

public:
    using DownloadCompletion = std::function<void(IconContainer)>;

    static ContainerManager &shared();

    const QList<IconContainer> &containers() const { return m_containers; }
    void setContainers(QList<IconContainer> containers);
    // Lookups only grow: loads add theirs and never remove earlier ones.
    const QSet<IconLookup> &iconLookupSet() const { return m_iconLookupSet; }
    void setIconLookupSet(QSet<IconLookup> lookups);
    std::optional<ContainerError> error() const { return m_error; }
    void setError(std::optional<ContainerError> error);

    // The folder "Glimbar/Library" under the user's data location, created if needed; none when it
    // cannot be found or made.
    static std::optional<QString> libraryFolderURL();
    // Reads every container folder of the library, in name order, and replaces `containers`
    // (queued); publishes nothing when the library cannot be found or listed.
    void loadLibrary();
    // A copy of `container` whose icons are read from the files of `folder`, paired with the
    // container's info.json entries and ordered by them. Queues one lookup per icon read.
    IconContainer loadIcons(const IconContainer &container, const QString &folder);
    // The container's title rendered from markdown in bold (one longer than 1000 characters as
    // plain text), then " by " and the author as plain text when there is one; inline rich text
    // (HTML) for a label. Needs a QGuiApplication, as the
    // markdown reader asks for fonts.
    static QString creditLine(const IconContainer &container);

    // Reads an older single-file archive; none when it is not one.
    std::optional<IconContainer> importLegacyContainer(const QString &path);
    // Writes the container as a folder named after its title into `libraryFolder`: info.json first,
    // then one file per icon. Failures are printed and set `error` (queued).
    void saveContainer(const IconContainer &container, const QString &libraryFolder);
    // Creates the container's folder and writes its info.json, recording every icon's file name.
    ContainerResult<void> writeContainerInfo(const IconContainer &container, const QString &folder);

    // Checks an opened link (its raw text, as the system handed it over), fetches the container it
    // names over https (ContainerDownload) and calls `completion` with it, on the GUI thread, at
    // most once and only on success, after the lookups of its icons have joined iconLookupSet.
    // Failures of the link itself set `error` to invalidURL; unreadable downloads set
    // downloadFailed; transport failures report nothing.
    void downloadContainer(const QString &link, DownloadCompletion completion);

Q_SIGNALS:
    void containersChanged();
    void iconLookupSetChanged();
    void errorChanged();

private:
    ContainerManager();

    // Runs `work` on the GUI thread once control returns to its event loop.
    void postToGuiThread(std::function<void()> work);
    void insertLookupQueued(const IconLookup &lookup);
    void setErrorQueued(ContainerError error);

    QList<IconContainer> m_containers;
    QSet<IconLookup> m_iconLookupSet;
    std::optional<ContainerError> m_error;
};
