// SPDX-License-Identifier: GPL-3.0-or-later
#include "libraryfixture.h"

#include "library/containermanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

LibraryFixture::LibraryFixture()
{
    // The test mode's data folder lies below HOME, which is read afresh on every call.
    qputenv("HOME", QFile::encodeName(m_home.path()));
    QStandardPaths::setTestModeEnabled(true);
}

QString LibraryFixture::dataFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Glimbar"_s;
}

QString LibraryFixture::libraryFolder() const
{
    return dataFolder() + u"/Library"_s;
}

void LibraryFixture::reset() const
{
    // By the bytes on disk: a name that is not UTF-8 would not survive a trip through QString.
    std::error_code error;
    std::filesystem::remove_all(QFile::encodeName(dataFolder()).toStdString(), error);
}

bool LibraryFixture::writeFile(const QString &path, const QByteArray &contents)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray LibraryFixture::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList LibraryFixture::listing(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList LibraryFixture::tree(const QString &path)
{
    QStringList entries;
    QDirIterator it(
        path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    const QDir root(path);
    while (it.hasNext())
        entries << root.relativeFilePath(it.next());
    entries.sort();
    return entries;
}

std::optional<QList<IconContainer>> LibraryFixture::load(ContainerManager &manager)
{
    QSignalSpy published(&manager, &ContainerManager::containersChanged);
    manager.loadLibrary();
    // Everything a load queues is posted before the worker is idle, so one pass delivers all of it.
    manager.waitForRequests();
    QCoreApplication::sendPostedEvents();
    if (published.isEmpty())
        return std::nullopt;
    return manager.containers();
}
