// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/containererror.h"

#include <QCoreApplication>

// The texts are shown to users exactly as written, spelling included.
QString errorDescription(ContainerError error)
{
    switch (error) {
    case ContainerError::writeContainerFailed:
        return QCoreApplication::translate("ContainerError", "Saving the rAvivovode failed.");
    case ContainerError::writeInfoFailed:
        return QCoreApplication::translate("ContainerError", "Saving the rAvivovode\u2019s metadata failed.");
    case ContainerError::writeIconFailed:
        return QCoreApplication::translate("ContainerError", "Saving the icon failed.");
    case ContainerError::missingIconData:
        return QCoreApplication::translate("ContainerError", "The icon has no data.");
    case ContainerError::iconExtensionError:
        return QCoreApplication::translate(
            "ContainerError", "An error occured determining the file extension for an icon.");
    case ContainerError::invalidURL:
        return QCoreApplication::translate("ContainerError", "The rAvivovode download URL is invalid.");
    case ContainerError::downloadFailed:
        return QCoreApplication::translate("ContainerError", "The rAvivovode could not be downloaded.");
    case ContainerError::libraryError:
        return QCoreApplication::translate("ContainerError", "An error occured finding the rAvivovode library.");
    }
    return {};
}
