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
    static std::optional<IconContainer> importArchive(const QString &path);

    // The title of an archive named `fileName`: the name without its last extension
    // ("My.Set.ravivovode" gives "My.Set"); a name without one, or a hidden name, stays whole.
    static QString titleFromFileName(const QString &fileName);
};
