// SPDX-License-Identifier: GPL-3.0-or-later
#include "updaterfixture.h"

using namespace Qt::Literals::StringLiterals;

UpdaterFixture::UpdaterFixture()
    : m_server(std::make_unique<TestHttpsServer>())
    , m_caFile(m_caFolder.filePath(u"ca.pem"_s))
{
    m_caWritten = m_caFolder.isValid() && m_server->isListening() && m_server->writeCertificate(m_caFile);
}

bool UpdaterFixture::isValid() const
{
    return m_settings.isValid() && m_server->isListening() && m_caWritten;
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
    options.checkDeadline = std::chrono::seconds(20);
    options.fetchLimits.caFile = m_caFile;
    return options;
}
