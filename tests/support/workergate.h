// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/libraryworker.h"

#include <QSemaphore>

// Holds a library worker at one job until opened, so that a test can queue requests behind it
// and act while they wait. Opens when it goes, so a failing test never leaves the worker stuck.
class WorkerGate
{
public:
    explicit WorkerGate(LibraryWorker &worker)
    {
        worker.post(LibraryWorker::Kind::write, [this] {
            m_entered.release();
            m_open.acquire();
        });
    }
    ~WorkerGate() { open(); }
    WorkerGate(const WorkerGate &) = delete;
    WorkerGate &operator=(const WorkerGate &) = delete;

    // Blocks until the worker has reached the gate: whatever is posted now waits behind it.
    void waitUntilHeld() { m_entered.acquire(); }
    void open()
    {
        if (!m_opened) {
            m_opened = true;
            m_open.release();
        }
    }

private:
    QSemaphore m_entered;
    QSemaphore m_open;
    bool m_opened = false;
};
