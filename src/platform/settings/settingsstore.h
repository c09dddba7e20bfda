// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <atomic>
#include <memory>
#include <shared_mutex>

class QSettings;

// The user's settings file (QSettings, organisation and application "Glimbar"), without fallbacks
// to system-wide files, so a value is either the user's or absent. The file is read once, when the
// store is made; the values then live in memory: a read takes a shared lock and a lookup, a write
// changes memory and the QSettings object in front of the file. The file itself is written when the
// store's thread is next idle (a short while after the first unsaved write), when the application
// quits, when the store goes, and by sync().
//
// Some values are of the moment and kept in memory only (setMemoryValue()): they hide what the file
// holds under the same name until the store goes, and are never written.
//
// Made and destroyed on the application's thread; every other call is safe from any thread while the
// store lives. Tests move the file away from the user's with QStandardPaths::setTestModeEnabled(true)
// (honoured by QSettings on Linux) or QSettings::setPath() before making the store.
class SettingsStore : public QObject
{
    Q_OBJECT

public:
    explicit SettingsStore(QObject *parent = nullptr);
    // Writes what is still unsaved.
    ~SettingsStore() override;

    // An invalid QVariant when nothing is stored under the name.
    QVariant value(const QString &name) const;
    void setValue(const QString &name, const QVariant &value);
    void remove(const QString &name);
    // Kept in memory only: value() gives it from now on, whatever the file holds; an invalid
    // QVariant reads as nothing stored.
    void setMemoryValue(const QString &name, const QVariant &value);
    // Writes every change to the file now.
    void sync();
    // Writes every change, then reads the file again, forgetting what memory held, values kept in
    // memory only too: for a file changed behind the store's back (tests that edit it with a
    // QSettings of their own).
    void reload();
    // The file's path.
    QString fileName() const;

private:
    void loadLocked();
    void scheduleSync();

    // Guards both value tables; taken before m_fileMutex. A standard lock, because the thread
    // sanitizer cannot see QReadWriteLock's, which locks inside a library built without it.
    mutable std::shared_mutex m_valuesLock;
    QHash<QString, QVariant> m_values;
    QHash<QString, QVariant> m_memoryValues;
    mutable QMutex m_fileMutex; // guards m_settings
    std::unique_ptr<QSettings> m_settings;
    std::atomic<bool> m_syncScheduled { false };
    QTimer m_syncTimer;
};
