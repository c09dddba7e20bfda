// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/contenttype.h"

#include <algorithm>
#include <utility>

namespace {

// The identifier of the older archives is ours to choose; kept here and nowhere else.
constexpr QStringView legacyContainerIdentifier = u"com.tarnveld.glimbar.legacy-ravivovode";
constexpr QStringView ownContainerIdentifier = u"com.tarnveld.glimbar.ravivovode";
constexpr QStringView containerExtension = u"ravivovode";

} // namespace

ContentType::ContentType(QString identifier, QString extension, bool isFolder, const ContentType *parent)
    : m_identifier(std::move(identifier))
    , m_extension(std::move(extension))
    , m_isFolder(isFolder)
    , m_lineage { m_identifier }
{
    if (parent)
        m_lineage += parent->m_lineage;
}

bool ContentType::conforms(const ContentType &other) const
{
    return m_lineage.contains(other.m_identifier);
}

const ContentType &ContentType::data()
{
    static const ContentType type(QStringLiteral("application/octet-stream"), QString(), false, nullptr);
    return type;
}

const ContentType &ContentType::folder()
{
    static const ContentType type(QStringLiteral("inode/directory"), QString(), true, nullptr);
    return type;
}

const ContentType &ContentType::icns()
{
    static const ContentType type(QStringLiteral("image/x-icns"), QStringLiteral("icns"), false, &data());
    return type;
}

const ContentType &ContentType::png()
{
    static const ContentType type(QStringLiteral("image/png"), QStringLiteral("png"), false, &data());
    return type;
}

const ContentType &ContentType::json()
{
    static const ContentType type(QStringLiteral("application/json"), QStringLiteral("json"), false, &data());
    return type;
}

const ContentType &ownContainerType()
{
    static const ContentType type(
        ownContainerIdentifier.toString(), containerExtension.toString(), true, &ContentType::folder());
    return type;
}

const ContentType &legacyContainerType()
{
    static const ContentType type(
        legacyContainerIdentifier.toString(), containerExtension.toString(), false, &ContentType::data());
    return type;
}

const ContentType &ContentType::fromFileName(const QString &fileName, bool isFolder)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    // A leading dot starts a hidden name, not an extension.
    const QStringView spelled = dot > 0 ? QStringView(fileName).mid(dot + 1) : QStringView();
    // An ASCII extension is lowered in place; others go through Unicode's rules, under which some
    // letters lower to ASCII ones.
    const bool ascii = std::all_of(spelled.begin(), spelled.end(), [](QChar c) { return c.unicode() < 0x80; });
    const QString extension = ascii ? QString() : spelled.toString().toLower();
    const auto is = [&](QStringView wanted) {
        return ascii ? spelled.compare(wanted, Qt::CaseInsensitive) == 0 : extension == wanted;
    };
    if (isFolder)
        return is(containerExtension) ? ownContainerType() : folder();
    for (const ContentType *type : { &icns(), &png(), &json(), &legacyContainerType() }) {
        if (is(type->preferredFilenameExtension()))
            return *type;
    }
    return data();
}
