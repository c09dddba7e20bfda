// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/containerdownload.h"
#include "model/containererror.h"
#include "model/iconcontainer.h"
#include "model/iconlookup.h"
#include "model/iconsearchkey.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The icon library of the running program: the containers of the user's library, the lookups of
// every icon a load has read, and the library's last error. The application owns the program's
// one instance and hands it to whatever works on a library (selection resolving, Utilities,
// views); tests make their own. It lives on the thread that made it (the GUI thread). Every
// write of a field emits that field's change signal, also when the value is unchanged. Results
// computed inside a routine reach the fields only through queued calls on that thread, so a caller
// sees them once control returns to the event loop; the caller never waits for them. A load posts
// one such call: its lookups (one iconLookupSetChanged()), then its containers; into an empty
// library it posts containersListed() before it.
//
// Loads and saves are requests: they run on the manager's one LibraryWorker, in the order asked,
// so the asking thread never waits for the disk, and their results arrive as above; the worker
// also merges a load's lookups into a copy of the set and frees what a load replaces, so that
// publishing a large library costs this thread next to nothing. A load asked for while another
// waits to start is the same load. When the application quits, loads not yet started are dropped
// and the manager waits for the rest (a save is never cut off part-way).
class LibraryWorker;

class ContainerManager : public QObject
{
    Q_OBJECT

public:
    using DownloadCompletion = std::function<void(IconContainer)>;
    // A download that ended without a container: the library's error it set, and why.
    using DownloadFailure = std::function<void(ContainerError error, const QString &reason)>;
    // Reads a container to be saved; runs on the worker. None when there is nothing to save.
    using ContainerReader = std::function<std::optional<IconContainer>()>;
    // How a request to save ended, told on the manager's thread.
    struct SaveOutcome
    {
        bool saved = false;
        // The library's error the request set; none when it set none (nothing to save, say).
        std::optional<ContainerError> error;
        // The lines the request printed, in order: the reasons in the system's words.
        QStringList reasons;
        // An icon's file changed since the library was read; the library is being read again.
        bool staleIcons = false;
    };
    using SaveCompletion = std::function<void(const SaveOutcome &)>;

    explicit ContainerManager(QObject *parent = nullptr);
    // Finishes the requests as at quit.
    ~ContainerManager() override;

    const QList<IconContainer> &containers() const { return m_containers; }
    void setContainers(QList<IconContainer> containers);
    // Lookups only grow: loads add theirs and never remove earlier ones.
    const QSet<IconLookup> &iconLookupSet() const { return m_iconLookupSet; }
    void setIconLookupSet(QSet<IconLookup> lookups);
    std::optional<ContainerError> error() const { return m_error; }
    void setError(std::optional<ContainerError> error);

    // The first container with identifier `id` in library order; null when there is none. Valid
    // until the containers are next replaced. Indexed, so a call costs the same in any library.
    const IconContainer *container(const QUuid &id) const;
    // The icon `id` resolves to: through its lookup entry to the first container of that
    // identifier, then to the first icon of `id` in it; null when it does not resolve. Valid until
    // the containers are next replaced. Indexed like container(): the index is made again on the
    // first call after the containers or the lookups change.
    const Icon *resolveIcon(const QUuid &id) const;
    // The containerID of that icon, without touching the icon; none when `id` does not resolve.
    std::optional<QUuid> resolvedContainerID(const QUuid &id) const;
    // The search keys of the icons of containers().at(`index`), position for position. A load
    // makes them on the worker; on the first call after the containers change, only the keys of
    // icons whose searched fields changed are made again. Valid until the containers next change.
    const QList<IconSearchKey> &searchKeys(qsizetype index) const;

    // A path, not a URL, and a call creates the folder: "Glimbar/Library" under the user's data
    // location, created if needed; none when it cannot be found or made.
    static std::optional<QString> libraryFolderURL();
    // Reads every container folder of the library, in name order, and replaces `containers`
    // (queued); publishes nothing when the library cannot be found or listed. A request.
    void loadLibrary();
    // Reads an older single-file archive; none when it is not one.
    std::optional<IconContainer> importLegacyContainer(const QString &path);
    // A request that finds the library folder, reads a container with `read` and writes it there
    // as a folder named after its title: info.json first, then one file per icon. Failures are
    // printed and set `error` (queued); without a library folder nothing is read and `error`
    // becomes libraryError. `done`, when given, hears how it ended, after `error` was set; a save
    // that failed on an icon file changed since the load also reloads the library.
    void saveIntoLibrary(ContainerReader read, SaveCompletion done = {});

    // True once requests have kept the worker at work for LibraryWorker's delay without a break;
    // false as soon as the results of the last one have arrived.
    bool busy() const;
    LibraryWorker &worker() const { return *m_worker; }
    // Blocks until every request made so far has run; their results are then queued on this
    // thread. For tests and tools, which have no window to keep alive.
    void waitForRequests();
    // The end of the run: drops the loads not yet started, waits for the others. Later requests
    // are ignored. Blocks.
    void finishRequests();

    // Checks an opened link (its raw text, as the system handed it over), fetches the container it
    // names over https (ContainerDownload) and calls `completion` with it, on the GUI thread, at
    // most once and only on success, after the lookups of its icons have joined iconLookupSet.
    // Failures of the link itself set `error` to invalidURL; every other failure (transport,
    // time-out, status, local write, an unreadable container) sets downloadFailed. `failed`, when
    // given, then hears the error and its reason, on the GUI thread, after `error` was set.
    void downloadContainer(const QString &link, DownloadCompletion completion, DownloadFailure failed = {});
    // The options of downloads started from now on.
    const ContainerDownload::Options &downloadOptions() const { return m_downloadOptions; }
    void setDownloadOptions(const ContainerDownload::Options &options) { m_downloadOptions = options; }

Q_SIGNALS:
    void containersChanged();
    // A load under way has read every info.json: `containers` are the containers it will publish,
    // in their order, without their icons. Sent only while containers() is empty, so that a window
    // can list the titles before the icons have been read; containers() stays as it is.
    void containersListed(const QList<IconContainer> &containers);
    void iconLookupSetChanged();
    void errorChanged();
    void busyChanged(bool busy);

private:
    // The lookups and their index as a load request found them. The load merges its own into a
    // copy on the worker, so that the GUI thread only swaps the result in, unless the lookups
    // changed in between (version), when it inserts the load's as before.
    struct LookupSnapshot
    {
        QSet<IconLookup> lookups;
        QHash<QUuid, QUuid> index;
        quint64 version = 0;
    };

    // Runs `work` on the manager's thread once control returns to its event loop.
    void postToGuiThread(std::function<void()> work);
    void insertLookupsQueued(QList<IconLookup> lookups);
    void insertLookups(const QList<IconLookup> &lookups);
    // After every write of the lookups: invalidates what was made from them and emits.
    void lookupsWritten();
    void setErrorQueued(ContainerError error);
    void indexContainers() const;
    void indexIcons() const;
    void readLibrary(const LookupSnapshot &base);
    void publishLoad(QList<IconLookup> lookups, LookupSnapshot merged, QList<IconContainer> containers,
        QList<QList<IconSearchKey>> searchKeys);
    // With `searchKeys` none, the keys of the containers replaced carry over to the containers
    // of their identifiers, to be checked on first use.
    void replaceContainers(QList<IconContainer> containers, std::optional<QList<QList<IconSearchKey>>> searchKeys);
    // True when saved; otherwise sets `error` (queued) and says in `staleIcons` whether an icon's
    // file had changed since the load.
    bool writeContainer(const IconContainer &container, const QString &libraryFolder, bool *staleIcons = nullptr);

    LibraryWorker *m_worker;
    QList<IconContainer> m_containers;
    QSet<IconLookup> m_iconLookupSet;
    std::optional<ContainerError> m_error;
    ContainerDownload::Options m_downloadOptions;
    // Icon identifier to the container its (first) lookup entry names.
    QHash<QUuid, QUuid> m_lookupIndex;
    // Counts the writes of the lookups.
    quint64 m_lookupVersion = 0;
    // Made on first use after the containers change: the position of the first container of each
    // identifier.
    mutable bool m_containersIndexed = false;
    mutable QHash<QUuid, qsizetype> m_containerIndex;
    // Made on first use after the containers or the lookups change: where each icon identifier
    // resolves to.
    struct ResolvedIcon
    {
        qsizetype container;
        qsizetype icon;
        QUuid containerID; // the icon's own
    };
    mutable bool m_iconsIndexed = false;
    mutable QHash<QUuid, ResolvedIcon> m_iconIndex;
    // Per container: its icons' search keys, and whether they have been checked against its icons
    // since the containers last changed.
    mutable QList<QList<IconSearchKey>> m_searchKeys;
    mutable QList<bool> m_searchKeysChecked;
};
