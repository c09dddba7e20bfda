// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/authorinfo.h"
#include "model/optionenums.h"

#include <QString>

// The choices of the export options sheet; a fresh record is what the sheet opens with.
struct ExportOptions
{
    ContainerExportType type = ContainerExportType::standard;
    QString title;
    QString collectionVersion;
    bool passwordProtected = false;
    QString password;
    bool includeAuthorInfo = true;
    AuthorInfo authorInfo;
};
