// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class ContainerManager;

// Writes the library's error to standard output each time it is written: its description, or a
// line saying there is none once it is cleared. Every write prints, so a second failure in a row is
// seen as well as the first. Nothing is shown to the user.
class ErrorObserver : public QObject
{
    Q_OBJECT

public:
    explicit ErrorObserver(ContainerManager &manager, QObject *parent = nullptr);

    // The line printed when the error is cleared.
    static QString noErrorLine();

private:
    void print() const;

    ContainerManager &m_manager;
};
