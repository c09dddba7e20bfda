// SPDX-License-Identifier: GPL-3.0-or-later
#include "folderlisting.h"

#include <QDir>

QStringList folderListing(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
