// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/containererror.h"
#include "model/iconcontainer.h"
#include "platform/archives/ziparchive.h"
#include "platform/net/httpsfetch.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The download of a container named by an opened link.
//
// start() checks and rewrites the link on the caller's thread and returns at once. The fetch runs on
// a worker thread: the body, a zip of the rAvivovode folder, goes into a fresh temporary folder of
// our own ("glimbar-download-", the process id, "-" and a random part), is unpacked there and read
// with the library's readers; the folder is removed before the outcome is handed back. Folders left
// by a process killed meanwhile are removed by removeStaleFolders().
//
// Guarantees: the completion is called exactly once, on the thread of the context object given to
// start() (which must outlive the download), with a container or with neither container nor error.
// A refused link gives invalidURL; a body that is too large or cannot be unpacked or decoded (an empty
// one too) prints why and gives downloadFailed; so do, without a printed line, transport failures,
// time-outs, statuses other than 200, a body that cannot be written here and servers that pass the
// header, speed or redirect bounds. Every error comes with its reason, for the window to show.
//
// The link's path may carry the address whole ("download/https://host/x" or "download/https:/host/x"),
// whose "https" is then not doubled; any other scheme there refuses the link.
class ContainerDownload
{
public:
    struct Options
    {
        // The bounds of the transfer, and the authorities it trusts (tests name their own server's).
        HttpsFetch::Limits fetchLimits {};
        // What the body may unpack to is bounded as the body is.
        ZipArchive::Limits unpackLimits {};
    };

    // What a download ends with: the container that arrived, or the library error to set, if any.
    struct Outcome
    {
        std::optional<IconContainer> container;
        std::optional<ContainerError> error;
        // Why, in the system's words (the reader's, curl's, the server's status); one paragraph.
        QString reason;
    };
    using Completion = std::function<void(Outcome)>;

    // Nothing is delivered once `context` is gone, even while its fetch still runs.
    static void start(QObject *context, const QString &link, const Options &options, Completion completion);

    // The one line printed for a container that arrived: its title (on one line) and its icon count.
    static QString describe(const IconContainer &container);

    // Why a link was refused, with the form a download link takes.
    static QString refusedLinkReason(const QString &link);

    // Removes the temporary folders of downloads whose process no longer runs.
    static void removeStaleFolders();

private:
    static Outcome fetchAndRead(const QByteArray &url, const Options &options);
    static Outcome fetchAndReadPrinting(const QByteArray &url, const Options &options);
    static Outcome readBody(const QString &bodyPath, const QString &folder, const ZipArchive::Limits &limits);
};
