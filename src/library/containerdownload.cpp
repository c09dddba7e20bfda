// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containerdownload.h"

#include "library/libraryreader.h"
#include "platform/desktop/launchargument.h"

#include "platform/files/stagingfolder.h"
#include "platform/net/httpsfetch.h"
#include "platform/net/linkdetector.h"
#include "platform/text/logging.h"
#include "platform/text/printabletext.h"
#include "platform/text/printedlines.h"
#include "platform/text/standardoutput.h"
#include "platform/text/translationcontext.h"

#include <QCoreApplication>
#include <QDir>
#include <QMetaObject>
#include <QMutex>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Why a fetch ended without a report; off unless asked for (QT_LOGGING_RULES).

namespace {

constexpr QStringView folderPrefix = u"glimbar-download-";

// Set when the application quits, so that a download in progress ends instead of holding up the exit.
std::atomic<bool> quitting { false };

constexpr TranslationContext tr { "ContainerDownload" };

qsizetype firstOf(QStringView text, QStringView characters)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (characters.contains(text.at(i)))
            return i;
    }
    return text.size();
}

std::optional<QStringView> leadingScheme(QStringView path);

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
    QStringView path = rest.left(firstOf(rest, u"?#"));
    // Users paste the whole address after "download/": its own "https://" (or "https:/", which a
    // path cleaner leaves) is not doubled, and any other scheme there is no download of ours.
    if (const std::optional<QStringView> scheme = leadingScheme(path)) {
        if (scheme->compare(u"https", Qt::CaseInsensitive) != 0)
            return std::nullopt;
        path = path.mid(1 + scheme->size() + 1);
        if (path.startsWith(u"//"))
            path = path.mid(1);
    }
    return u"https:/"_s + path.toString();
}

// The scheme that the path's first segment starts with ("https" of "/https://host/x"); none when it
// is a host, with or without a port ("/127.0.0.1:9/x", "/example.org:8443/x").
std::optional<QStringView> leadingScheme(QStringView path)
{
    if (!path.startsWith(u'/'))
        return std::nullopt;
    const QStringView segment = path.mid(1, firstOf(path.mid(1), u"/"));
    const qsizetype colon = segment.indexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    const QStringView scheme = segment.left(colon);
    const auto isAsciiLetter = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    if (!isAsciiLetter(scheme.front()))
        return std::nullopt;
    for (const QChar c : scheme) {
        if (!isAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.')
            return std::nullopt;
    }
    const QStringView port = segment.mid(colon + 1);
    if (!port.isEmpty() && std::all_of(port.begin(), port.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return scheme;
}

} // namespace

void ContainerDownload::start(QObject *context, const QString &link, const Options &options, Completion completion)
{
    // The fetch may end after the context is gone (its owner need not wait for it): the context
    // leaves the guard under its lock as it is destroyed, so an outcome is posted to a living
    // object or not at all.
    struct Guard
    {
        QMutex mutex;
        QObject *context = nullptr;
    };
    const auto guard = std::make_shared<Guard>();
    guard->context = context;
    QObject::connect(
        context, &QObject::destroyed, context,
        [guard] {
            const QMutexLocker lock(&guard->mutex);
            guard->context = nullptr;
        },
        Qt::DirectConnection);
    const auto deliver = [guard](Completion completion, Outcome outcome) {
        const QMutexLocker lock(&guard->mutex);
        if (!guard->context)
            return;
        QMetaObject::invokeMethod(
            guard->context,
            [completion = std::move(completion), outcome = std::move(outcome)]() mutable {
                completion(std::move(outcome));
            },
            Qt::QueuedConnection);
    };
    const auto refuse = [&] {
        deliver(std::move(completion), { std::nullopt, ContainerError::invalidURL, refusedLinkReason(link) });
    };
    const std::optional<QString> remote = remoteAddress(link);
    if (!remote) {
        refuse();
        return;
    }
    // Printed whole, but a control character of a malformed link must not reach the terminal.
    printLine(printableText(*remote, remote->size()));
    if (!containsLink(*remote)) {
        refuse();
        return;
    }
    const QUrl url = QUrl::fromEncoded(remote->toUtf8(), QUrl::StrictMode);
    if (!url.isValid()) {
        refuse();
        return;
    }
    static std::once_flag watchingQuit;
    if (auto *app = QCoreApplication::instance()) {
        std::call_once(watchingQuit,
            [app] { QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { quitting = true; }); });
    }
    QThreadPool::globalInstance()->start(
        [deliver, url = url.toEncoded(), options, completion = std::move(completion)]() mutable {
            deliver(std::move(completion), fetchAndRead(url, options));
        });
}

QString ContainerDownload::describe(const IconContainer &container)
{
    const qsizetype count = container.icons.size();
    const QString icons = count == 1 ? tr("1 icon") : tr("%1 icons").arg(count);
    return tr("\u201c%1\u201d, %2").arg(printableText(container.title), icons);
}

QString ContainerDownload::refusedLinkReason(const QString &link)
{
    return tr("“%1” is no download link. A download link has the form %2://download/ and an https address, "
              "for example %2://download/example.org/packs/space.ravivovode.")
        .arg(printableText(link, 200), LaunchArgument::urlScheme());
}

ContainerDownload::Outcome ContainerDownload::fetchAndRead(const QByteArray &url, const Options &options)
{
    // What the steps print is also the reason the window shows.
    PrintedLines printed;
    Outcome outcome = fetchAndReadPrinting(url, options);
    if (outcome.error && outcome.reason.isEmpty())
        outcome.reason = printed.lines().join(u'\n');
    return outcome;
}

ContainerDownload::Outcome ContainerDownload::fetchAndReadPrinting(const QByteArray &url, const Options &options)
{
    const QTemporaryDir folder(
        QDir::tempPath() + u'/' + folderPrefix.toString() + QString::number(::getpid()) + u"-XXXXXX"_s);
    if (!folder.isValid()) {
        printLine(tr("The download could not be unpacked: %1").arg(folder.errorString()));
        return { std::nullopt, ContainerError::downloadFailed, {} };
    }
    const QString bodyPath = folder.filePath(u"body"_s);
    const HttpsFetch::Result fetched = HttpsFetch::fetch(url, bodyPath, options.fetchLimits, &quitting);
    switch (fetched.outcome) {
    case HttpsFetch::Outcome::complete:
        break;
    case HttpsFetch::Outcome::tooLarge:
        printLine(tr("The download is larger than %1 bytes.").arg(options.fetchLimits.maxBodyBytes));
        return { std::nullopt, ContainerError::downloadFailed, {} };
    case HttpsFetch::Outcome::failed:
        qCDebug(lcDownload) << "download of" << url << "ended with status" << fetched.status << fetched.reason;
        // Not printed: the terminal has the library's error, as for every other failed download.
        // The body of another status is refused unread, so curl's own words would blame the disk.
        if (fetched.status != 0 && fetched.status != 200 && (fetched.status < 300 || fetched.status >= 400))
            return { std::nullopt, ContainerError::downloadFailed,
                tr("The server answered with status %1.").arg(fetched.status) };
        if (!fetched.reason.isEmpty())
            return { std::nullopt, ContainerError::downloadFailed, fetched.reason };
        return { std::nullopt, ContainerError::downloadFailed, tr("The server sent no container.") };
    }
    // An empty body is a container that cannot be read, not a missing one: the unpacker says so.
    return readBody(bodyPath, folder.filePath(u"container"_s), options.unpackLimits);
}

ContainerDownload::Outcome ContainerDownload::readBody(
    const QString &bodyPath, const QString &folder, const ZipArchive::Limits &limits)
{
    const Outcome failed { std::nullopt, ContainerError::downloadFailed, {} };
    if (!QDir().mkdir(folder)) {
        printLine(tr("The download could not be unpacked: %1").arg(folder));
        return failed;
    }
    QString message;
    if (!ZipArchive::unpackFile(bodyPath, folder, limits, &message)) {
        printLine(message);
        return failed;
    }
    // The library's own reader prints why info.json could not be read or decoded.
    const std::optional<IconContainer> decoded = LibraryReader::readContainerInfo(folder);
    if (!decoded)
        return failed;
    IconContainer container = LibraryReader::readIcons(*decoded, folder, [](const IconLookup &) {});
    printLine(describe(container));
    return { std::move(container), std::nullopt, {} };
}

void ContainerDownload::removeStaleFolders()
{
    // A download's folder has no companions, so settling it removes it. Folders named before the
    // process id was part of the name cannot say whose they are; a day is far longer than any
    // download.
    StagingFolder::sweep(QDir::tempPath(), folderPrefix, std::chrono::hours(24));
}
