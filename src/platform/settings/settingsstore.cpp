// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settings/settingsstore.h"

#include "platform/files/applicationfolder.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutexLocker>
#include <QSettings>

#include <mutex>

namespace {

// How long after the first unsaved write the file is written: a drag that writes on every motion
// costs one write of the file, not one per motion.
constexpr int idleSyncMilliseconds = 500;

} // namespace

SettingsStore::SettingsStore(QObject *parent)
    : QObject(parent)
{
    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(idleSyncMilliseconds);
    connect(&m_syncTimer, &QTimer::timeout, this, &SettingsStore::sync);
    if (auto *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &SettingsStore::sync);
    std::unique_lock lock(m_valuesLock);
    QMutexLocker file(&m_fileMutex);
    loadLocked();
}

SettingsStore::~SettingsStore()
{
    sync();
}

QVariant SettingsStore::value(const QString &name) const
{
    std::shared_lock lock(m_valuesLock);
    if (const auto memory = m_memoryValues.constFind(name); memory != m_memoryValues.cend())
        return *memory;
    return m_values.value(name);
}

void SettingsStore::setValue(const QString &name, const QVariant &value)
{
    {
        // Memory and the QSettings object change under one lock, so that they never disagree.
        std::unique_lock lock(m_valuesLock);
        m_values.insert(name, value);
        QMutexLocker file(&m_fileMutex);
        m_settings->setValue(name, value);
    }
    scheduleSync();
}

void SettingsStore::remove(const QString &name)
{
    {
        std::unique_lock lock(m_valuesLock);
        m_values.remove(name);
        QMutexLocker file(&m_fileMutex);
        m_settings->remove(name);
    }
    scheduleSync();
}

void SettingsStore::setMemoryValue(const QString &name, const QVariant &value)
{
    std::unique_lock lock(m_valuesLock);
    m_memoryValues.insert(name, value);
}

void SettingsStore::sync()
{
    m_syncScheduled.store(false);
    QMutexLocker lock(&m_fileMutex);
    m_settings->sync();
}

void SettingsStore::reload()
{
    std::unique_lock lock(m_valuesLock);
    QMutexLocker file(&m_fileMutex);
    m_settings->sync();
    loadLocked();
}

QString SettingsStore::fileName() const
{
    QMutexLocker lock(&m_fileMutex);
    return m_settings->fileName();
}

void SettingsStore::loadLocked()
{
    m_settings = std::make_unique<QSettings>(ApplicationFolder::name(), ApplicationFolder::name());
    m_settings->setFallbacksEnabled(false);
    m_values.clear();
    m_memoryValues.clear();
    const QStringList keys = m_settings->allKeys();
    for (const QString &key : keys)
        m_values.insert(key, m_settings->value(key));
}

void SettingsStore::scheduleSync()
{
    if (m_syncScheduled.exchange(true))
        return;
    if (!QCoreApplication::instance()) {
        sync();
        return;
    }
    // The timer lives on the store's thread, whichever thread wrote.
    QMetaObject::invokeMethod(
        this, [this] { m_syncTimer.start(); }, Qt::QueuedConnection);
}
