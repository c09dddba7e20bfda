// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The lock that the one running instance of a user holds for its lifetime: flock() on a file next
// to the instance channel's socket, in the user's runtime folder. The kernel lets go of it when the
// process ends, however it ends, so it never outlives its instance; it is not passed to children.
class InstanceLock
{
public:
    enum class State {
        held, // by this process, through this object
        heldElsewhere, // by a running instance
        unavailable, // no lock file can be had here, so the lock says nothing
    };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    static QString path();

    // Takes the lock unless another process holds it; once held, it stays held.
    State tryAcquire();
    bool isHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
