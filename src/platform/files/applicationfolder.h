// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The one name the application's own folders and its settings file go by.
namespace ApplicationFolder {

// "Glimbar": the folder under the user's data location, and the organisation and application
// name of the settings file.
QString name();
// That folder under the user's data location (not created); empty when there is no data location.
QString dataFolder();

} // namespace ApplicationFolder
