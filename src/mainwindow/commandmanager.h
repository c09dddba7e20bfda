// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/optionenums.h"

#include <QObject>

// The four one-way channels between the menus and the main windows. One instance is shared by every
// window of the application. A value is delivered at once, synchronously, to the receivers
// connected at that moment and is then gone: nothing is kept, nothing replays to a later receiver.
//
// Every main window has a menu bar of its own, so the import, export and exporter-disabled channels
// name the window they concern; a window acts only on the values that name it, and each window's
// export items follow only that window's selection. Deselect All reaches every window.
class CommandManager : public QObject
{
    Q_OBJECT

public:
    explicit CommandManager(QObject *parent = nullptr);

Q_SIGNALS:
    void deselectAll();
    // `window` is the main window whose menu was used.
    void presentImporter(ImportFormat format, const QObject *window);
    void presentExporter(ExportFormat format, const QObject *window);
    // Sent by `window` on every change of its container selection: true unless exactly one
    // container is selected.
    void exporterDisabled(bool disabled, const QObject *window);
};
