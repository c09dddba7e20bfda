// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// Diagnostics for developers, one category per module ("glimbar.<layer>.<module>"), all declared
// here and defined in logging.cpp; what the user is told goes to standard output instead. Every
// category starts at the same level, so that warnings show and debug messages wait for
// QT_LOGGING_RULES (for example "glimbar.*.debug=true").

// Why an image or one of its representations was refused.
Q_DECLARE_LOGGING_CATEGORY(lcPlatformImage)
// Archives of the older format that cannot be read.
Q_DECLARE_LOGGING_CATEGORY(lcTypedStream)
// The folder icon files written into folders.
Q_DECLARE_LOGGING_CATEGORY(lcFolderIcon)
// Custom icons set on files and folders.
Q_DECLARE_LOGGING_CATEGORY(lcFileIcon)
// The data requests a drag-out answers.
Q_DECLARE_LOGGING_CATEGORY(lcDragSelection)
// The folders a drag or an export writes icons into.
Q_DECLARE_LOGGING_CATEGORY(lcIconTransfer)
// Downloads of containers.
Q_DECLARE_LOGGING_CATEGORY(lcDownload)
