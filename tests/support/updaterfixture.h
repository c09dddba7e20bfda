// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/net/feedupdater.h"
#include "settingsfixture.h"
#include "testhttpsserver.h"

#include <QTemporaryDir>

#include <memory>

// What a test of the feed updater needs: a settings file of its own, which the updater keeps its
// settings in, and an HTTPS server on this machine to serve the feed. Make one per test program
// and call reset() before each test.
class UpdaterFixture
{
public:
    UpdaterFixture();

    // False, with errorString(), when the settings file or the server could not be made.
    bool isValid() const;
    QString errorString() const;
    SettingsStore &settings() const { return m_settings.store(); }
    TestHttpsServer &server() const { return *m_server; }
    // Forgets every stored setting, every response set and every request seen.
    void reset() const;
    // Options that fetch "/appcast.xml" from the server, trusting its certificate.
    FeedUpdater::Options options() const;

private:
    SettingsFixture m_settings;
    std::unique_ptr<TestHttpsServer> m_server;
    QTemporaryDir m_caFolder;
    QString m_caFile;
    bool m_caWritten = false;
};
