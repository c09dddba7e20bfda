// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <QVersionNumber>

#include <optional>

// The release feed: an RSS document whose items each carry a <version> (dotted numbers, nothing
// after them) and a <link> (http or https) to the release's page, for example
//
//   <rss version="2.0"><channel>
//     <item><title>Glimbar 1.2</title><version>1.2.0</version><link>https://…/1.2</link></item>
//   </channel></rss>
//
// The feed comes from the network, so it is outside data: documents with a DTD, deeper than
// maxDepth or with more than maxItems items are refused whole; items without a readable version or
// link are skipped.
class ReleaseFeed
{
public:
    static constexpr int maxDepth = 16;
    static constexpr qsizetype maxItems = 1000;
    static constexpr qsizetype maxTextLength = 4096;

    struct Release
    {
        QVersionNumber version;
        QString versionText;
        QUrl link;
    };

    struct Result
    {
        QList<Release> releases;
        // Empty when the document could be read.
        QString error;
    };

    static Result parse(const QByteArray &document);

    // The release with the highest version above `current`; the first listed among equals.
    static std::optional<Release> newestAbove(const QList<Release> &releases, const QVersionNumber &current);
};
