// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

#include <QString>

#include <optional>

// Builds a container from an older single-file archive: a non-keyed archive whose root is a
// dictionary with an "Icons" dictionary. Reports nothing: a file that is not such an archive gives
// no container, and values of the wrong kind fall back to empty text, false or none.
class LegacyImporter
{
public:
    // What an import may hand on to be written: the data of its icons and its custom icon together
    // may be at most the larger of these. An archive may store one blob for many icons; each icon
    // written out is a copy of it.
    static constexpr qint64 dataExpansion = 8;
    static constexpr qint64 minDataBound = qint64(256) << 20;

    // None as well for an archive whose data goes past the bound above.
    static std::optional<IconContainer> importArchive(const QString &path);

    // The title of an archive named `fileName`: the name with every occurrence of "." and its
    // extension removed ("My.Set.ravivovode" gives "My.Set", "A.ravivovode.ravivovode" gives "A");
    // a name without an extension, or a hidden name, stays whole.
    static QString titleFromFileName(const QString &fileName);
};
