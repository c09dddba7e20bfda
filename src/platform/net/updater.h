// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

// The application's updater: checks a release feed and tells the user when a newer version exists.
// It never replaces the program itself; on Linux the package manager installs.
//
// The updater keeps its own settings (automatic checks, automatic downloads, the check interval and
// the date of the last check). Every signal is emitted on the thread the object lives on (the GUI
// thread in the program), whatever thread did the work. Tests put a fake in its place.
class Updater : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~Updater() override = default;

    // Starts scheduled checks as the settings say; called once, before the first window shows.
    virtual void start() = 0;

    // False while a check runs or before start().
    virtual bool canCheckForUpdates() const = 0;
    // Runs a check now; its outcome arrives through updateFound(), noUpdateFound() or checkFailed().
    virtual void checkForUpdates() = 0;

    // Absent until a check has read the feed once; a failed check leaves it as it was.
    virtual std::optional<QDateTime> lastUpdateCheckDate() const = 0;

    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
    virtual bool automaticallyDownloadsUpdates() const = 0;
    virtual void setAutomaticallyDownloadsUpdates(bool on) = 0;
    // Seconds between scheduled checks.
    virtual double updateCheckInterval() const = 0;
    virtual void setUpdateCheckInterval(double seconds) = 0;

    // True when the check under way, or else the last one, was started by the schedule rather than
    // by the user; a scheduled check that finds nothing, or fails, needs no answer on screen.
    virtual bool lastCheckWasScheduled() const { return false; }

Q_SIGNALS:
    void canCheckForUpdatesChanged(bool canCheck);
    void lastUpdateCheckDateChanged();
    // A check found a version newer than the running one; `link` is where to get it.
    void updateFound(const QString &version, const QUrl &link);
    // A check read the feed and found no newer version; `reason` says so in a sentence.
    void noUpdateFound(const QString &reason);
    // A check could not read the feed (no network, an error status, a feed that is no feed);
    // `error` says why in a sentence.
    void checkFailed(const QString &error);
};
