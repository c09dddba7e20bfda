// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandmanager.h"

CommandManager::CommandManager(QObject *parent)
    : QObject(parent)
{ }
