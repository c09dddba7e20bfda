// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Every member of a folder by name, hidden and system members too: what a test checks to see that
// nothing was left behind or written where it should not be.
QStringList folderListing(const QString &path);
