// SPDX-License-Identifier: GPL-3.0-or-later
// Asks its library to save a big container and quits at once, as a user may quit during an import.
// Exits 0 once the event loop has ended, 2 on a bad command line.
//
//   quit_during_save GENERATION ICONS ICON_BYTES
//
// The library is the tests' own, in the test mode's data folder below HOME.

#include "library/containermanager.h"

#include "support/savegeneration.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTimer>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4)
        return 2;
    // Never destroyed, as the program's library: only the quit itself may wait for the save.
    auto *manager = new ContainerManager;
    const IconContainer container
        = SaveGeneration::container(arguments.at(1).toInt(), arguments.at(2).toInt(), arguments.at(3).toLongLong());
    manager->saveIntoLibrary([container] { return container; });
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
