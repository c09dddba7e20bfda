// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// Why an image or one of its representations was refused; never shown to the user.
Q_DECLARE_LOGGING_CATEGORY(lcPlatformImage)
