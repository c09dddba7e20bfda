// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as the release feed; every release it keeps has a plain version and a web
// link, and the feed's bounds hold.

#include "platform/net/releasefeed.h"

#include <cstdint>
#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ReleaseFeed::Result result
        = ReleaseFeed::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!result.error.isEmpty() && !result.releases.isEmpty())
        std::abort();
    if (result.releases.size() > ReleaseFeed::maxItems)
        std::abort();
    for (const ReleaseFeed::Release &release : result.releases) {
        const QString scheme = release.link.scheme();
        if (release.version.isNull() || (scheme != u"https"_s && scheme != u"http"_s))
            std::abort();
    }
    ReleaseFeed::newestAbove(result.releases, QVersionNumber(1));
    return 0;
}
