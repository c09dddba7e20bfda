// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// Diagnostics for developers, one category per module ("glimbar.<layer>.<module>"); what the user
// is told goes to standard output instead. Every category starts at this level, so that warnings
// show and debug messages wait for QT_LOGGING_RULES (for example "glimbar.*.debug=true").
inline constexpr QtMsgType glimbarLogLevel = QtWarningMsg;
