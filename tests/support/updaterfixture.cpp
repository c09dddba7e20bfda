// SPDX-License-Identifier: GPL-3.0-or-later
#include "updaterfixture.h"

using namespace Qt::Literals::StringLiterals;

UpdaterFixture::UpdaterFixture()
    : m_server(std::make_unique<TestHttpsServer>())
{ }

bool UpdaterFixture::isValid() const
{
    return m_settings.isValid() && m_server->isListening();
}

QString UpdaterFixture::errorString() const
{
    return m_settings.isValid() ? m_server->errorString() : u"no settings file of the test's own"_s;
}

void UpdaterFixture::reset() const
{
    m_settings.clear();
    m_server->reset();
}

FeedUpdater::Options UpdaterFixture::options() const
{
    FeedUpdater::Options options;
    options.feedUrl = QUrl(u"https://127.0.0.1:%1/appcast.xml"_s.arg(m_server->port()));
    options.transferTimeout = std::chrono::seconds(10);
    options.extraCaCertificates = { m_server->certificate() };
    return options;
}
