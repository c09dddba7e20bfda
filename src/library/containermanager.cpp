// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"

#include "library/containerdownload.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

ContainerManager &ContainerManager::shared()
{
    // Never destroyed: the library lives to the end of the process.
    static ContainerManager *instance = [] {
        auto *manager = new ContainerManager;
        if (auto *app = QCoreApplication::instance(); app && manager->thread() != app->thread())
            manager->moveToThread(app->thread());
        return manager;
    }();
    return *instance;
}

ContainerManager::ContainerManager() = default;

void ContainerManager::setContainers(QList<IconContainer> containers)
{
    m_containers = std::move(containers);
    Q_EMIT containersChanged();
}

void ContainerManager::setIconLookupSet(QSet<IconLookup> lookups)
{
    m_iconLookupSet = std::move(lookups);
    Q_EMIT iconLookupSetChanged();
}

void ContainerManager::setError(std::optional<ContainerError> error)
{
    m_error = error;
    Q_EMIT errorChanged();
}

void ContainerManager::postToGuiThread(std::function<void()> work)
{
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void ContainerManager::insertLookupQueued(const IconLookup &lookup)
{
    postToGuiThread([this, lookup] {
        m_iconLookupSet.insert(lookup);
        Q_EMIT iconLookupSetChanged();
    });
}

void ContainerManager::setErrorQueued(ContainerError error)
{
    postToGuiThread([this, error] { setError(error); });
}

// --- Placeholders, replaced by the library reader, the importer and the download. ---

std::optional<QString> ContainerManager::libraryFolderURL()
{
    return std::nullopt;
}

void ContainerManager::loadLibrary() { }

IconContainer ContainerManager::loadIcons(const IconContainer &container, const QString &)
{
    return container;
}

QString ContainerManager::creditLine(const IconContainer &container)
{
    return container.title;
}

std::optional<IconContainer> ContainerManager::importLegacyContainer(const QString &)
{
    return std::nullopt;
}

void ContainerManager::saveContainer(const IconContainer &, const QString &) { }

ContainerResult<void> ContainerManager::writeContainerInfo(const IconContainer &, const QString &)
{
    return {};
}

void ContainerManager::downloadContainer(const QString &link, DownloadCompletion completion)
{
    ContainerDownload::start(*this, link, std::move(completion));
}
