// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/updater.h"

// An updater that fetches nothing: it counts the calls and reports what the test sets.
class FakeUpdater : public Updater
{
    Q_OBJECT

public:
    using Updater::Updater;

    void start() override { ++startCalls; }
    bool canCheckForUpdates() const override { return m_canCheck; }
    void checkForUpdates() override { ++checkCalls; }
    std::optional<QDateTime> lastUpdateCheckDate() const override { return std::nullopt; }
    bool automaticallyChecksForUpdates() const override { return false; }
    void setAutomaticallyChecksForUpdates(bool) override { }
    bool automaticallyDownloadsUpdates() const override { return false; }
    void setAutomaticallyDownloadsUpdates(bool) override { }
    double updateCheckInterval() const override { return 86400; }
    void setUpdateCheckInterval(double) override { }

    // Emits canCheckForUpdatesChanged, as a real updater does when its state changes.
    void setCanCheck(bool canCheck)
    {
        m_canCheck = canCheck;
        Q_EMIT canCheckForUpdatesChanged(canCheck);
    }

    int startCalls = 0;
    int checkCalls = 0;

private:
    bool m_canCheck = false;
};
