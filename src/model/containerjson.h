// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"
#include "model/result.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// The "info.json" document: the JSON form of a container and its icons' text fields. Identifiers,
// icon data and previews are never stored.

// The document's name inside an rAvivovode folder.
inline constexpr QStringView containerInfoFileName = u"info.json";

// Documents larger than this are refused before they are parsed, and never written.
inline constexpr qsizetype maxContainerJsonBytes = qsizetype(64) << 20;

// The document's UTF-8 bytes; fails, with a one-line message, when a colour component is not a
// finite number (JSON has no way to write it) or the document would exceed maxContainerJsonBytes.
Result<QByteArray, QString> encodeContainerJson(const IconContainer &container);

// A container with a new identifier, whose icons have new identifiers of their own (their
// containerID too is new, not the container's), no data and no previews. Fails as a whole, with a
// one-line message for the user, on any missing required key, wrong JSON type, unknown icon type,
// containerVersion outside 0…255, invalid Base64, or bytes that are not a JSON object. Keys it does
// not know are ignored.
// Reads in one pass what it can be sure of (see JsonScanner), and hands anything else to
// decodeContainerJsonDocument(), so that both give the same result.
Result<IconContainer, QString> decodeContainerJson(const QByteArray &bytes);
// The container of a strict document, read in one pass without building a JSON document; none
// where the scanner gives up or the text is not a valid container.
std::optional<IconContainer> scanContainerJson(const QByteArray &bytes);
// The same decoding through a whole JSON document (parseStrictJson), for any JSON text.
Result<IconContainer, QString> decodeContainerJsonDocument(const QByteArray &bytes);
