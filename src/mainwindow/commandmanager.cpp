// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/commandmanager.h"

CommandManager::CommandManager(QObject *parent)
    : QObject(parent)
{ }
