// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/libraryworker.h"

#include <memory>
#include <semaphore>

// Holds a library worker at one job until opened, so that a test can queue requests behind it
// and act while they wait. Opens when it goes, so a failing test never leaves the worker stuck.
class WorkerGate
{
public:
    explicit WorkerGate(LibraryWorker &worker)
    {
        // The job shares the semaphores: it may still be waking inside acquire() after the gate
        // has opened and gone.
        worker.post(LibraryWorker::Kind::write, [state = m_state] {
            state->entered.release();
            state->open.acquire();
        });
    }
    ~WorkerGate() { open(); }
    WorkerGate(const WorkerGate &) = delete;
    WorkerGate &operator=(const WorkerGate &) = delete;

    // Blocks until the worker has reached the gate: whatever is posted now waits behind it.
    void waitUntilHeld() { m_state->entered.acquire(); }
    void open()
    {
        if (!m_opened) {
            m_opened = true;
            m_state->open.release();
        }
    }

private:
    struct State
    {
        // The standard semaphores, not QSemaphore: the thread sanitizer sees their ordering, so what
        // a test does before opening the gate counts as done before the jobs behind it.
        std::binary_semaphore entered { 0 };
        std::binary_semaphore open { 0 };
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
    bool m_opened = false;
};
