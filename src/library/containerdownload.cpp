// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containerdownload.h"

#include "library/libraryreader.h"

#include "model/containerjson.h"
#include "platform/linkdetector.h"
#include "platform/logging.h"
#include "platform/printabletext.h"
#include "platform/standardoutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QThreadPool>

using namespace Qt::StringLiterals;

// Why a fetch ended without a report; off unless asked for (QT_LOGGING_RULES).
Q_LOGGING_CATEGORY(lcDownload, "glimbar.library.download", glimbarLogLevel)

namespace {

QMutex optionsMutex;
ContainerDownload::Options currentOptions;

qsizetype firstOf(QStringView text, QStringView characters)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (characters.contains(text.at(i)))
            return i;
    }
    return text.size();
}

// "https:/" followed by the link's path exactly as the link spells it, percent-encoding included;
// none when the link's host, as spelled, is not "download". Parsed by hand because a URL parser
// lower-cases the host and re-encodes the path.
std::optional<QString> remoteAddress(QStringView link)
{
    const qsizetype colon = link.indexOf(u':');
    if (colon <= 0 || !link.mid(colon + 1).startsWith(u"//"))
        return std::nullopt;
    const QStringView afterScheme = link.mid(colon + 3);
    const qsizetype authorityEnd = firstOf(afterScheme, u"/?#");
    QStringView host = afterScheme.left(authorityEnd);
    if (const qsizetype at = host.lastIndexOf(u'@'); at >= 0)
        host = host.mid(at + 1);
    if (!host.startsWith(u'[')) {
        if (const qsizetype portColon = host.indexOf(u':'); portColon >= 0)
            host = host.left(portColon);
    }
    if (host != u"download")
        return std::nullopt;
    const QStringView rest = afterScheme.mid(authorityEnd);
    return u"https:/"_s + rest.left(firstOf(rest, u"?#")).toString();
}

} // namespace

ContainerDownload::Options ContainerDownload::options()
{
    const QMutexLocker lock(&optionsMutex);
    return currentOptions;
}

void ContainerDownload::setOptions(const Options &options)
{
    const QMutexLocker lock(&optionsMutex);
    currentOptions = options;
}

void ContainerDownload::start(
    ContainerManager &manager, const QString &link, ContainerManager::DownloadCompletion completion)
{
    const std::optional<QString> remote = remoteAddress(link);
    if (!remote) {
        manager.setErrorQueued(ContainerError::invalidURL);
        return;
    }
    // Printed whole, but a control character of a malformed link must not reach the terminal.
    printLine(printableText(*remote, remote->size()));
    if (!containsLink(*remote)) {
        manager.setErrorQueued(ContainerError::invalidURL);
        return;
    }
    const QUrl url = QUrl::fromEncoded(remote->toUtf8(), QUrl::StrictMode);
    if (!url.isValid()) {
        manager.setErrorQueued(ContainerError::invalidURL);
        return;
    }
    // The network manager needs an event loop; the library's thread has one.
    QMetaObject::invokeMethod(
        &manager,
        [&manager, url, options = options(), completion = std::move(completion)] {
            (new ContainerDownload(manager, options, completion))->fetch(url);
        },
        Qt::QueuedConnection);
}

QString ContainerDownload::describe(const IconContainer &container)
{
    const qsizetype count = container.icons.size();
    const QString icons = count == 1 ? tr("1 icon") : tr("%1 icons").arg(count);
    return tr("\u201c%1\u201d, %2").arg(printableText(container.title), icons);
}

ContainerDownload::ContainerDownload(
    ContainerManager &manager, const Options &options, ContainerManager::DownloadCompletion completion)
    : QObject(&manager)
    , m_manager(manager)
    , m_options(options)
    , m_completion(std::move(completion))
    , m_network(new QNetworkAccessManager(this))
{ }

void ContainerDownload::fetch(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferNetwork);
    request.setTransferTimeout(int(m_options.transferTimeout.count()));
    if (!m_options.extraCaCertificates.isEmpty()) {
        QSslConfiguration ssl = request.sslConfiguration();
        ssl.addCaCertificates(m_options.extraCaCertificates);
        request.setSslConfiguration(ssl);
    }
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &ContainerDownload::checkAnnouncedLength);
    connect(m_reply, &QNetworkReply::readyRead, this, &ContainerDownload::takeBody);
    connect(m_reply, &QNetworkReply::finished, this, &ContainerDownload::finish);
}

void ContainerDownload::checkAnnouncedLength()
{
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_options.maxBodyBytes)
        refuseOversizedBody();
}

void ContainerDownload::takeBody()
{
    // An aborted or timed-out reply is closed and has nothing more to give.
    if (m_oversized || !m_reply->isOpen())
        return;
    // Never holds more than one byte past the bound, whatever the server sends.
    m_body += m_reply->read(m_options.maxBodyBytes - m_body.size() + 1);
    if (m_body.size() > m_options.maxBodyBytes)
        refuseOversizedBody();
}

void ContainerDownload::refuseOversizedBody()
{
    if (m_oversized)
        return;
    m_oversized = true;
    m_body.clear();
    // The reply then finishes as cancelled; finish() reports the bound.
    m_reply->abort();
}

void ContainerDownload::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    takeBody();
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        qCDebug(lcDownload) << "download of" << m_reply->url() << "answered with status" << status;
    } else if (m_oversized) {
        printLine(tr("The download is larger than %1 bytes.").arg(m_options.maxBodyBytes));
        m_manager.setErrorQueued(ContainerError::downloadFailed);
    } else if (m_reply->error() != QNetworkReply::NoError) {
        qCDebug(lcDownload) << "download of" << m_reply->url() << "failed:" << m_reply->errorString();
    } else {
        // An empty body is a container that cannot be read, not a missing one: the unpacker says so.
        QThreadPool::globalInstance()->start(
            [manager = &m_manager, body = std::move(m_body), limits = m_options.unpackLimits,
                completion = std::move(m_completion)] {
                if (std::optional<IconContainer> container = readBody(*manager, body, limits))
                    completion(*std::move(container));
            });
    }
    m_reply->deleteLater();
    deleteLater();
}

std::optional<IconContainer> ContainerDownload::readBody(
    ContainerManager &manager, const QByteArray &body, const ZipArchive::Limits &limits)
{
    const auto fail = [&manager](const QString &message) {
        printLine(message);
        manager.setErrorQueued(ContainerError::downloadFailed);
        return std::nullopt;
    };

    const QTemporaryDir folder(QDir::tempPath() + u"/glimbar-download-XXXXXX"_s);
    if (!folder.isValid())
        return fail(tr("The download could not be unpacked: %1").arg(folder.errorString()));
    QString message;
    if (!ZipArchive::unpack(body, folder.path(), limits, &message))
        return fail(message);
    // The library's own reader prints why info.json could not be read or decoded.
    const std::optional<IconContainer> decoded = LibraryReader::readContainerInfo(folder.path());
    if (!decoded) {
        manager.setErrorQueued(ContainerError::downloadFailed);
        return std::nullopt;
    }
    IconContainer container = manager.loadIcons(*decoded, folder.path());
    printLine(describe(container));
    return container;
}
