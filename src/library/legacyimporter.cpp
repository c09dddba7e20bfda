// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/legacyimporter.h"

#include "library/iconordering.h"
#include "platform/archives/typedstreamreader.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

QString stringValue(const ArchivedValue &dictionary, QStringView key)
{
    const auto value = dictionary.value(key);
    return value ? value->toString().value_or(QString()) : QString();
}

std::optional<QByteArray> bytesValue(const ArchivedValue &dictionary, QStringView key)
{
    const auto value = dictionary.value(key);
    return value ? value->toBytes() : std::nullopt;
}

std::optional<RGBAColor> colourValue(const ArchivedValue &dictionary, QStringView key)
{
    const auto value = dictionary.value(key);
    const auto components = value ? value->toDoubleList() : std::nullopt;
    // A shorter list says no colour; reading past its end is no way to make one up.
    if (!components || components->size() < 4)
        return std::nullopt;
    // No colour has an infinite component, and info.json could not record one.
    for (qsizetype i = 0; i < 4; ++i) {
        if (!std::isfinite(components->at(i)))
            return std::nullopt;
    }
    return RGBAColor { components->at(0), components->at(1), components->at(2), components->at(3) };
}

Icon makeIcon(const QString &name, const ArchivedValue &entry, const QUuid &containerID)
{
    const IconFileType type = stringValue(entry, u"Type") == u"PngFile" ? IconFileType::image : IconFileType::icns;
    return Icon { .id = QUuid::createUuid(),
        .containerID = containerID,
        .name = name,
        .type = type,
        .icnsData = bytesValue(entry, u"IcnsData"),
        .imageData = bytesValue(entry, u"PngData"),
        .author = stringValue(entry, u"Author"),
        .copyright = stringValue(entry, u"Copyright"),
        .authorURL = stringValue(entry, u"AuthorURL") };
}

} // namespace

QString LegacyImporter::titleFromFileName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    // A leading dot starts a hidden name and a trailing one ends an empty extension: neither is one.
    if (dot <= 0 || dot == fileName.size() - 1)
        return fileName;
    // Every occurrence goes, not only the last: "Space.ravivovode.ravivovode" is "Space".
    QString title = fileName;
    return title.remove(fileName.mid(dot), Qt::CaseSensitive);
}

std::optional<IconContainer> LegacyImporter::importArchive(const QString &path)
{
    const std::optional<ArchivedValue> root = TypedStreamReader::readFile(path);
    if (!root || root->kind() != ArchivedValue::Kind::dictionary)
        return std::nullopt;
    const std::optional<ArchivedValue> iconsValue = root->value(u"Icons");
    const std::optional<ArchivedValue::Dictionary> iconEntries = iconsValue ? iconsValue->toDictionary() : std::nullopt;
    if (!iconEntries)
        return std::nullopt;

    IconContainer container;
    const auto orderValue = root->value(u"IconOrder");
    const QStringList order = orderValue ? orderValue->toStringList().value_or(QStringList()) : QStringList();

    // Checked before any icon is made, so that a blob shared by thousands of icons is refused
    // before it is decoded for each of them.
    const qint64 bound = std::max(dataExpansion * QFileInfo(path).size(), minDataBound);
    const auto customIcon = bytesValue(*root, u"CustomIcon");
    qint64 dataBytes = customIcon ? customIcon->size() : 0;

    QList<Icon> icons;
    icons.reserve(iconEntries->size());
    for (const auto &[key, entry] : *iconEntries) {
        const std::optional<QString> name = key.toString();
        if (!name || entry.kind() != ArchivedValue::Kind::dictionary)
            continue;
        for (const QStringView dataKey : { u"IcnsData", u"PngData" })
            dataBytes += bytesValue(entry, dataKey).value_or(QByteArray()).size();
        if (dataBytes > bound)
            return std::nullopt;
        icons.append(makeIcon(*name, entry, container.id));
    }
    orderIcons(icons, order, IconOrderKey::name);

    const auto lockValue = root->value(u"AuthoringLock");
    container.title = titleFromFileName(QFileInfo(path).fileName());
    container.collectionVersion = QString();
    container.authorName = stringValue(*root, u"AuthorName");
    container.authorURL = stringValue(*root, u"AuthorURL");
    container.authorEmail = stringValue(*root, u"AuthorEmail");
    container.authoringLock = lockValue ? lockValue->toBool().value_or(false) : false;
    container.backgroundColor = colourValue(*root, u"BackgroundColor");
    container.containerVersion = 4;
    container.copyright = stringValue(*root, u"Copyright");
    container.customIcon = customIcon;
    container.icons = std::move(icons);
    return container;
}
