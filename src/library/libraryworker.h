// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

// One thread that does the library's disk work (loads, imports, saves) in the order it was asked
// for, so the thread that asks never waits for the disk. Lives on the thread that made it, which
// is the only one that may post to it; jobs hand their results back themselves (queued calls).
//
// A load posted right behind another that has not started yet is dropped: both would read the
// same folder. busy() turns true once the worker has had work for busyDelay without a break and
// false as soon as it has none, after the results of its last job have been delivered.
class LibraryWorker : public QObject
{
    Q_OBJECT

public:
    enum class Kind {
        // Reads only; may be dropped at the end of the run.
        load,
        // Changes the library; always run to its end.
        write,
    };

    static constexpr std::chrono::milliseconds defaultBusyDelay { 500 };

    explicit LibraryWorker(QObject *parent = nullptr);
    // Finishes as finish() does.
    ~LibraryWorker() override;

    // Runs `job` on the worker after every job posted before it. Ignored after finish().
    void post(Kind kind, std::function<void()> job);
    // Frees `value` on the worker, after the jobs posted before it, so that the owner's thread does
    // not spend the time (a replaced library is a hundred thousand allocations). Not work: busy()
    // and the folding of loads do not see it. After finish(), freed at once.
    template <typename T> void release(T value)
    {
        postRelease([value = std::move(value)] {});
    }

    // Blocks until every job posted so far has run; its results are then queued on this thread.
    void waitForIdle();
    // The end of the run: drops the loads that have not started, waits for the job under way and
    // the writes still queued, and stops the thread. Blocks.
    void finish();
    // Whether finish() has begun: from then on the queued loads are gone. Safe from any thread.
    bool stopping() const
    {
        const std::lock_guard lock(m_mutex);
        return m_stopping;
    }

    bool busy() const { return m_busy; }
    void setBusyDelay(std::chrono::milliseconds delay) { m_busyTimer.setInterval(delay); }

Q_SIGNALS:
    void busyChanged(bool busy);

private:
    struct Job
    {
        Kind kind;
        std::function<void()> run;
        // Reported done to the owner; false for a release.
        bool counted = true;
    };

    void postRelease(std::function<void()> holder);
    void startThread();
    void runJobs();
    void jobDone();
    void setBusy(bool busy);

    // The standard ones rather than Qt's: the thread sanitizer sees through them.
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_queue;
    bool m_running = false; // a job is under way
    bool m_stopping = false;
    bool m_finished = false;
    std::unique_ptr<QThread> m_thread;

    // Jobs posted and not yet reported done; read and written on the owner's thread only.
    int m_pending = 0;
    QTimer m_busyTimer { this };
    bool m_busy = false;
};
