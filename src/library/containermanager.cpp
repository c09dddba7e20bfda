// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"

#include "library/containerdownload.h"
#include "library/legacyimporter.h"
#include "library/libraryreader.h"
#include "library/libraryworker.h"
#include "library/librarywriter.h"
#include "platform/files/applicationfolder.h"
#include "platform/text/printedlines.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Keeps the first value of a key, as QHash::insert() would not.
template <typename Key, typename Value> void insertFirst(QHash<Key, Value> &hash, const Key &key, const Value &value)
{
    if (!hash.contains(key))
        hash.insert(key, value);
}

} // namespace

ContainerManager::ContainerManager(QObject *parent)
    : QObject(parent)
    , m_worker(new LibraryWorker(this))
{
    connect(m_worker, &LibraryWorker::busyChanged, this, &ContainerManager::busyChanged);
    // Quitting must not cut a save off part-way; a load nobody will see is left unread.
    if (auto *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &ContainerManager::finishRequests);
}

ContainerManager::~ContainerManager()
{
    // Before the fields go: the jobs under way post to them.
    finishRequests();
}

bool ContainerManager::busy() const
{
    return m_worker->busy();
}

void ContainerManager::waitForRequests()
{
    m_worker->waitForIdle();
}

void ContainerManager::finishRequests()
{
    m_worker->finish();
}

void ContainerManager::setContainers(QList<IconContainer> containers)
{
    replaceContainers(std::move(containers), std::nullopt);
}

void ContainerManager::replaceContainers(
    QList<IconContainer> containers, std::optional<QList<QList<IconSearchKey>>> searchKeys)
{
    if (searchKeys && searchKeys->size() == containers.size()) {
        m_searchKeys = *std::move(searchKeys);
        m_searchKeysChecked = QList<bool>(containers.size(), true);
    } else {
        QHash<QUuid, qsizetype> before;
        for (qsizetype i = m_containers.size() - 1; i >= 0 && i < m_searchKeys.size(); --i)
            before.insert(m_containers.at(i).id, i);
        QList<QList<IconSearchKey>> carried(containers.size());
        for (qsizetype i = 0; i < containers.size(); ++i) {
            if (const auto found = before.constFind(containers.at(i).id); found != before.cend())
                carried[i] = m_searchKeys.at(*found);
        }
        m_searchKeys = std::move(carried);
        m_searchKeysChecked = QList<bool>(containers.size(), false);
    }
    m_containers = std::move(containers);
    m_containersIndexed = false;
    m_iconsIndexed = false;
    m_containerIndex.clear();
    m_iconIndex.clear();
    Q_EMIT containersChanged();
}

void ContainerManager::setIconLookupSet(QSet<IconLookup> lookups)
{
    m_iconLookupSet = std::move(lookups);
    m_lookupIndex.clear();
    m_lookupIndex.reserve(m_iconLookupSet.size());
    for (const IconLookup &lookup : std::as_const(m_iconLookupSet))
        insertFirst(m_lookupIndex, lookup.id, lookup.containerID);
    lookupsWritten();
}

void ContainerManager::lookupsWritten()
{
    ++m_lookupVersion;
    m_iconsIndexed = false;
    m_iconIndex.clear();
    Q_EMIT iconLookupSetChanged();
}

void ContainerManager::setError(std::optional<ContainerError> error)
{
    m_error = error;
    Q_EMIT errorChanged();
}

const IconContainer *ContainerManager::container(const QUuid &id) const
{
    indexContainers();
    const auto found = m_containerIndex.constFind(id);
    return found == m_containerIndex.cend() ? nullptr : &m_containers.at(*found);
}

const Icon *ContainerManager::resolveIcon(const QUuid &id) const
{
    indexIcons();
    const auto found = m_iconIndex.constFind(id);
    return found == m_iconIndex.cend() ? nullptr : &m_containers.at(found->container).icons.at(found->icon);
}

std::optional<QUuid> ContainerManager::resolvedContainerID(const QUuid &id) const
{
    indexIcons();
    const auto found = m_iconIndex.constFind(id);
    if (found == m_iconIndex.cend())
        return std::nullopt;
    return found->containerID;
}

const QList<IconSearchKey> &ContainerManager::searchKeys(qsizetype index) const
{
    static const QList<IconSearchKey> none;
    if (index < 0 || index >= m_containers.size())
        return none;
    QList<IconSearchKey> &keys = m_searchKeys[index];
    if (!m_searchKeysChecked.at(index)) {
        m_searchKeysChecked[index] = true;
        const QList<Icon> &icons = m_containers.at(index).icons;
        keys.resize(icons.size());
        for (qsizetype i = 0; i < icons.size(); ++i) {
            if (!keys.at(i).describes(icons.at(i)))
                keys[i] = IconSearchKey(icons.at(i));
        }
    }
    return keys;
}

void ContainerManager::indexContainers() const
{
    if (m_containersIndexed)
        return;
    m_containersIndexed = true;
    m_containerIndex.reserve(m_containers.size());
    for (qsizetype i = 0; i < m_containers.size(); ++i)
        insertFirst(m_containerIndex, m_containers.at(i).id, i);
}

void ContainerManager::indexIcons() const
{
    if (m_iconsIndexed)
        return;
    m_iconsIndexed = true;
    indexContainers();
    for (auto container = m_containerIndex.cbegin(); container != m_containerIndex.cend(); ++container) {
        // Only the first container of an identifier is ever reached.
        const QList<Icon> &icons = m_containers.at(*container).icons;
        for (qsizetype j = 0; j < icons.size(); ++j) {
            const Icon &icon = icons.at(j);
            const auto lookup = m_lookupIndex.constFind(icon.id);
            if (lookup != m_lookupIndex.cend() && *lookup == container.key())
                insertFirst(m_iconIndex, icon.id, ResolvedIcon { *container, j, icon.containerID });
        }
    }
}

void ContainerManager::postToGuiThread(std::function<void()> work)
{
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void ContainerManager::insertLookupsQueued(QList<IconLookup> lookups)
{
    postToGuiThread([this, lookups = std::move(lookups)] { insertLookups(lookups); });
}

void ContainerManager::insertLookups(const QList<IconLookup> &lookups)
{
    m_iconLookupSet.reserve(m_iconLookupSet.size() + lookups.size());
    for (const IconLookup &lookup : lookups) {
        m_iconLookupSet.insert(lookup);
        insertFirst(m_lookupIndex, lookup.id, lookup.containerID);
    }
    lookupsWritten();
}

void ContainerManager::setErrorQueued(ContainerError error)
{
    postToGuiThread([this, error] { setError(error); });
}

std::optional<QString> ContainerManager::libraryFolderURL()
{
    const QString dataFolder = ApplicationFolder::dataFolder();
    if (dataFolder.isEmpty())
        return std::nullopt;
    const QString folder = dataFolder + u"/Library"_s;
    if (!LibraryWriter::makeFolder(folder))
        return std::nullopt;
    return folder;
}

void ContainerManager::loadLibrary()
{
    m_worker->post(LibraryWorker::Kind::load,
        [this, base = LookupSnapshot { m_iconLookupSet, m_lookupIndex, m_lookupVersion }] { readLibrary(base); });
}

void ContainerManager::readLibrary(const LookupSnapshot &base)
{
    const std::optional<QString> folder = libraryFolderURL();
    if (!folder)
        return;
    // What saves and downloads killed part-way left behind, removed before the library is read.
    LibraryWriter::removeLeftovers(*folder);
    ContainerDownload::removeStaleFolders();
    QList<IconLookup> lookups;
    std::optional<QList<IconContainer>> containers = LibraryReader::readLibrary(
        *folder, [&lookups](const IconLookup &lookup) { lookups.append(lookup); }, LibraryReader::defaultFolderReaders,
        [this](QList<IconContainer> titles) {
            postToGuiThread([this, titles = std::move(titles)] {
                // Only a window that shows no library yet has anything to gain from them.
                if (m_containers.isEmpty())
                    Q_EMIT containersListed(titles);
            });
        });
    // The lookups of a load that publishes nothing still count, as they did when each was posted.
    if (!containers) {
        if (!lookups.isEmpty())
            insertLookupsQueued(std::move(lookups));
        return;
    }
    LookupSnapshot merged { {}, {}, base.version };
    if (!lookups.isEmpty()) {
        merged.lookups = base.lookups;
        merged.index = base.index;
        merged.lookups.reserve(merged.lookups.size() + lookups.size());
        merged.index.reserve(merged.index.size() + lookups.size());
        for (const IconLookup &lookup : std::as_const(lookups)) {
            merged.lookups.insert(lookup);
            insertFirst(merged.index, lookup.id, lookup.containerID);
        }
    }
    // Folded here, so that no keystroke folds a field of a loaded icon.
    QList<QList<IconSearchKey>> searchKeys;
    searchKeys.reserve(containers->size());
    for (const IconContainer &container : std::as_const(*containers)) {
        QList<IconSearchKey> &keys = searchKeys.emplace_back();
        keys.reserve(container.icons.size());
        for (const Icon &icon : container.icons)
            keys.append(IconSearchKey(icon));
    }
    postToGuiThread([this, lookups = std::move(lookups), merged = std::move(merged),
                        containers = std::move(*containers), searchKeys = std::move(searchKeys)]() mutable {
        // Moved out: the call's own copies are freed on this thread.
        publishLoad(std::move(lookups), std::move(merged), std::move(containers), std::move(searchKeys));
    });
}

void ContainerManager::publishLoad(QList<IconLookup> lookups, LookupSnapshot merged, QList<IconContainer> containers,
    QList<QList<IconSearchKey>> searchKeys)
{
    // What the load replaces goes back to the worker to be freed: a large library is a hundred
    // thousand icons, and freeing them here would stall the window.
    struct Replaced
    {
        QList<IconLookup> lookups;
        QSet<IconLookup> lookupSet;
        QHash<QUuid, QUuid> lookupIndex;
        QHash<QUuid, ResolvedIcon> iconIndex;
        QList<IconContainer> containers;
        QList<QList<IconSearchKey>> searchKeys;
    };
    Replaced replaced;
    replaced.iconIndex = std::exchange(m_iconIndex, {});
    if (!lookups.isEmpty()) {
        if (merged.version == m_lookupVersion) {
            replaced.lookupSet = std::exchange(m_iconLookupSet, std::move(merged.lookups));
            replaced.lookupIndex = std::exchange(m_lookupIndex, std::move(merged.index));
            lookupsWritten();
        } else {
            insertLookups(lookups);
        }
    }
    replaced.lookups = std::move(lookups);
    replaced.containers = m_containers;
    replaced.searchKeys = m_searchKeys;
    replaceContainers(std::move(containers), std::move(searchKeys));
    m_worker->release(std::move(replaced));
}

std::optional<IconContainer> ContainerManager::importLegacyContainer(const QString &path)
{
    return LegacyImporter::importArchive(path);
}

void ContainerManager::saveIntoLibrary(ContainerReader read, SaveCompletion done)
{
    // The completion moves on to the GUI thread, so that what it holds is freed there and never on
    // the worker while the GUI thread still uses it.
    m_worker->post(LibraryWorker::Kind::write, [this, read = std::move(read), done = std::move(done)]() mutable {
        SaveOutcome outcome;
        {
            const PrintedLines printed;
            if (const std::optional<QString> folder = libraryFolderURL()) {
                if (const std::optional<IconContainer> container = read()) {
                    outcome.saved = writeContainer(*container, *folder, &outcome.staleIcons);
                    if (!outcome.saved)
                        outcome.error = ContainerError::writeContainerFailed;
                }
            } else {
                outcome.error = ContainerError::libraryError;
                setErrorQueued(ContainerError::libraryError);
            }
            outcome.reasons = printed.lines();
        }
        // Queued after the error, so that whoever hears the outcome finds the error set.
        postToGuiThread([this, done = std::move(done), outcome = std::move(outcome)] {
            // The next try must read the files as they are now.
            if (outcome.staleIcons)
                loadLibrary();
            if (done)
                done(outcome);
        });
    });
}

bool ContainerManager::writeContainer(const IconContainer &container, const QString &libraryFolder, bool *staleIcons)
{
    if (LibraryWriter::saveContainer(container, libraryFolder, staleIcons))
        return true;
    setErrorQueued(ContainerError::writeContainerFailed);
    return false;
}

void ContainerManager::downloadContainer(const QString &link, DownloadCompletion completion, DownloadFailure failed)
{
    ContainerDownload::start(this, link, m_downloadOptions,
        [this, completion = std::move(completion), failed = std::move(failed)](ContainerDownload::Outcome outcome) {
            if (outcome.error) {
                setError(*outcome.error);
                if (failed)
                    failed(*outcome.error, outcome.reason);
            }
            if (!outcome.container)
                return;
            if (!outcome.container->icons.isEmpty()) {
                QList<IconLookup> lookups;
                lookups.reserve(outcome.container->icons.size());
                for (const Icon &icon : std::as_const(outcome.container->icons))
                    lookups.append(IconLookup { icon.id, icon.containerID });
                insertLookups(lookups);
            }
            completion(*std::move(outcome.container));
        });
}
