// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/settingsstore.h"

#include "platform/applicationfolder.h"

#include <QCoreApplication>
#include <QHash>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>

namespace {

// How long after the first unsaved write the file is written: a drag that writes on every motion
// costs one write of the file, not one per motion.
constexpr int idleSyncMilliseconds = 500;

class Store
{
public:
    static Store &instance()
    {
        // Destroyed at exit, which writes what is still unsaved.
        static Store store;
        return store;
    }

    ~Store()
    {
        QMutexLocker lock(&m_fileMutex);
        if (m_settings)
            m_settings->sync();
    }

    QVariant value(const QString &name)
    {
        ensureLoaded();
        std::shared_lock lock(m_valuesLock);
        return m_values.value(name);
    }

    void setValue(const QString &name, const QVariant &value)
    {
        ensureLoaded();
        {
            // Memory and the QSettings object change under one lock, so that they never disagree.
            std::unique_lock lock(m_valuesLock);
            m_values.insert(name, value);
            QMutexLocker file(&m_fileMutex);
            m_settings->setValue(name, value);
        }
        scheduleSync();
    }

    void remove(const QString &name)
    {
        ensureLoaded();
        {
            std::unique_lock lock(m_valuesLock);
            m_values.remove(name);
            QMutexLocker file(&m_fileMutex);
            m_settings->remove(name);
        }
        scheduleSync();
    }

    void sync()
    {
        m_syncScheduled.store(false);
        QMutexLocker lock(&m_fileMutex);
        if (m_settings)
            m_settings->sync();
    }

    void reload()
    {
        std::unique_lock lock(m_valuesLock);
        QMutexLocker file(&m_fileMutex);
        if (m_settings)
            m_settings->sync();
        loadLocked();
    }

private:
    void ensureLoaded()
    {
        if (m_loaded.load(std::memory_order_acquire))
            return;
        std::unique_lock lock(m_valuesLock);
        if (m_loaded.load(std::memory_order_relaxed))
            return;
        QMutexLocker file(&m_fileMutex);
        loadLocked();
    }

    void loadLocked()
    {
        m_settings = std::make_unique<QSettings>(ApplicationFolder::name(), ApplicationFolder::name());
        m_settings->setFallbacksEnabled(false);
        m_values.clear();
        const QStringList keys = m_settings->allKeys();
        for (const QString &key : keys)
            m_values.insert(key, m_settings->value(key));
        m_loaded.store(true, std::memory_order_release);
        if (!m_quitConnected) {
            if (auto *app = QCoreApplication::instance()) {
                m_quitConnected = true;
                QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { Store::instance().sync(); });
            }
        }
    }

    void scheduleSync()
    {
        if (m_syncScheduled.exchange(true))
            return;
        auto *app = QCoreApplication::instance();
        if (!app) {
            sync();
            return;
        }
        // The timer must live on the application's thread, whichever thread wrote.
        QMetaObject::invokeMethod(
            app, [app] { QTimer::singleShot(idleSyncMilliseconds, app, [] { Store::instance().sync(); }); },
            Qt::QueuedConnection);
    }

    // Guards m_values; taken before m_fileMutex. A standard lock, because the thread sanitizer
    // cannot see QReadWriteLock's, which lives in a library built without it.
    std::shared_mutex m_valuesLock;
    QHash<QString, QVariant> m_values;
    QMutex m_fileMutex; // guards m_settings
    std::unique_ptr<QSettings> m_settings;
    std::atomic<bool> m_loaded { false };
    std::atomic<bool> m_syncScheduled { false };
    bool m_quitConnected = false; // under both locks
};

} // namespace

namespace SettingsStore {

QVariant value(const QString &name)
{
    return Store::instance().value(name);
}

void setValue(const QString &name, const QVariant &value)
{
    Store::instance().setValue(name, value);
}

void remove(const QString &name)
{
    Store::instance().remove(name);
}

void sync()
{
    Store::instance().sync();
}

void reload()
{
    Store::instance().reload();
}

} // namespace SettingsStore
