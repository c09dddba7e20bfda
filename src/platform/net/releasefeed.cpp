// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net/releasefeed.h"

#include "platform/text/translationcontext.h"

#include <QXmlStreamReader>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr TranslationContext tr { "ReleaseFeed" };

std::optional<ReleaseFeed::Release> makeRelease(const QString &versionText, const QString &linkText)
{
    qsizetype suffix = 0;
    const QString trimmed = versionText.trimmed();
    const QVersionNumber version = QVersionNumber::fromString(trimmed, &suffix);
    if (version.isNull() || suffix != trimmed.size())
        return std::nullopt;
    const QUrl link(linkText.trimmed(), QUrl::StrictMode);
    if (!link.isValid() || link.host().isEmpty() || (link.scheme() != u"https"_s && link.scheme() != u"http"_s))
        return std::nullopt;
    return ReleaseFeed::Release { version, trimmed, link };
}

} // namespace

ReleaseFeed::Result ReleaseFeed::parse(const QByteArray &document)
{
    QXmlStreamReader xml(document);
    Result result;
    int depth = 0;
    bool sawRss = false;
    bool inItem = false;
    QString version;
    QString link;
    QString *field = nullptr;
    const auto fail = [&result](const QString &error) {
        result.releases.clear();
        result.error = error;
        return result;
    };

    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            return fail(tr("The release feed declares a document type, which it must not."));
        case QXmlStreamReader::EntityReference:
            return fail(tr("The release feed uses an undeclared entity."));
        case QXmlStreamReader::StartElement:
            if (++depth > maxDepth)
                return fail(tr("The release feed is nested too deeply."));
            if (depth == 1) {
                if (xml.name() != u"rss"_s)
                    return fail(tr("The release feed is not an RSS document."));
                sawRss = true;
            } else if (xml.name() == u"item"_s && !inItem) {
                if (result.releases.size() >= maxItems)
                    return fail(tr("The release feed lists more than %1 items.").arg(maxItems));
                inItem = true;
                version.clear();
                link.clear();
            } else if (inItem && (xml.name() == u"version"_s || xml.name() == u"link"_s)) {
                field = xml.name() == u"version"_s ? &version : &link;
                field->clear();
            }
            break;
        case QXmlStreamReader::Characters:
            if (field) {
                // An overlong value is dropped whole, never cut: a cut link would point elsewhere.
                if (field->size() + xml.text().size() > maxTextLength) {
                    field->clear();
                    field = nullptr;
                } else
                    field->append(xml.text());
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            field = nullptr;
            if (inItem && xml.name() == u"item"_s) {
                inItem = false;
                if (auto release = makeRelease(version, link))
                    result.releases.append(std::move(*release));
            }
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        return fail(tr("The release feed is not well-formed XML: %1").arg(xml.errorString()));
    if (!sawRss)
        return fail(tr("The release feed is empty."));
    return result;
}

std::optional<ReleaseFeed::Release> ReleaseFeed::newestAbove(
    const QList<Release> &releases, const QVersionNumber &current)
{
    std::optional<Release> newest;
    for (const Release &release : releases) {
        if (release.version > current && (!newest || release.version > newest->version))
            newest = release;
    }
    return newest;
}
