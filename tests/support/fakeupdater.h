// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/net/updater.h"

// An updater that keeps its settings in members and counts what is asked of it. Its setters only
// record; tests change what it reports through the public members and its signals.
class FakeUpdater : public Updater
{
    Q_OBJECT

public:
    using Updater::Updater;

    void start() override { ++starts; }
    bool canCheckForUpdates() const override { return canCheck; }
    void checkForUpdates() override { ++checks; }
    std::optional<QDateTime> lastUpdateCheckDate() const override { return lastCheck; }
    bool automaticallyChecksForUpdates() const override { return automaticChecks; }
    void setAutomaticallyChecksForUpdates(bool on) override;
    bool automaticallyDownloadsUpdates() const override { return automaticDownloads; }
    void setAutomaticallyDownloadsUpdates(bool on) override;
    double updateCheckInterval() const override { return interval; }
    void setUpdateCheckInterval(double seconds) override;

    // Emits canCheckForUpdatesChanged, as a real updater does when its state changes.
    void setCanCheck(bool on)
    {
        canCheck = on;
        Q_EMIT canCheckForUpdatesChanged(on);
    }

    bool canCheck = false;
    std::optional<QDateTime> lastCheck;
    bool automaticChecks = true;
    bool automaticDownloads = false;
    double interval = 86400;

    int starts = 0;
    int checks = 0;
    // Every setter call, in order, as "name=value".
    QStringList writes;
};
