// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/applicationfolder.h"

#include <QStandardPaths>

namespace ApplicationFolder {

QString name()
{
    return QStringLiteral("Glimbar");
}

QString dataFolder()
{
    const QString location = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return location.isEmpty() ? QString() : location + u'/' + name();
}

} // namespace ApplicationFolder
