// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The library's failure cases. Each has one user-facing message, its description.
enum class ContainerError {
    writeContainerFailed,
    writeInfoFailed,
    writeIconFailed,
    missingIconData,
    iconExtensionError,
    invalidURL,
    downloadFailed,
    libraryError,
};

// The case's message, translated for the user's locale; English when there is no translation.
QString errorDescription(ContainerError error);
