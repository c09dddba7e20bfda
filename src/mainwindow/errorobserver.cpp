// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/errorobserver.h"

#include "library/containermanager.h"
#include "platform/text/standardoutput.h"

#include <QCoreApplication>

ErrorObserver::ErrorObserver(ContainerManager &manager, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
{
    connect(&m_manager, &ContainerManager::errorChanged, this, &ErrorObserver::print);
}

QString ErrorObserver::noErrorLine()
{
    return QCoreApplication::translate("ErrorObserver", "No error");
}

void ErrorObserver::print() const
{
    const std::optional<ContainerError> error = m_manager.error();
    printLine(error ? errorDescription(*error) : noErrorLine());
}
