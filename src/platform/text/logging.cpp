// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text/logging.h"

namespace {

constexpr QtMsgType defaultLevel = QtWarningMsg;

} // namespace

Q_LOGGING_CATEGORY(lcPlatformImage, "glimbar.platform.image", defaultLevel)
Q_LOGGING_CATEGORY(lcTypedStream, "glimbar.platform.typedstream", defaultLevel)
Q_LOGGING_CATEGORY(lcFolderIcon, "glimbar.platform.foldericon", defaultLevel)
Q_LOGGING_CATEGORY(lcFileIcon, "glimbar.platform.fileicon", defaultLevel)
Q_LOGGING_CATEGORY(lcDragSelection, "glimbar.platform.dragselection", defaultLevel)
Q_LOGGING_CATEGORY(lcIconTransfer, "glimbar.library.icontransfer", defaultLevel)
Q_LOGGING_CATEGORY(lcDownload, "glimbar.library.download", defaultLevel)
