// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/libraryworker.h"

#include <QMetaObject>
#include <QThread>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// A thread running one function. Not QThread::create: that runs the function inside the standard
// library's deferred future, where the thread sanitizer does not look.
class JobThread final : public QThread
{
public:
    explicit JobThread(std::function<void()> body)
        : m_body(std::move(body))
    { }

protected:
    void run() override { m_body(); }

private:
    std::function<void()> m_body;
};

} // namespace

LibraryWorker::LibraryWorker(QObject *parent)
    : QObject(parent)
{
    m_busyTimer.setSingleShot(true);
    m_busyTimer.setInterval(defaultBusyDelay);
    connect(&m_busyTimer, &QTimer::timeout, this, [this] {
        if (m_pending > 0)
            setBusy(true);
    });
}

LibraryWorker::~LibraryWorker()
{
    finish();
}

void LibraryWorker::post(Kind kind, std::function<void()> job)
{
    if (m_finished)
        return;
    {
        const std::lock_guard lock(m_mutex);
        if (kind == Kind::load) {
            const auto last
                = std::find_if(m_queue.crbegin(), m_queue.crend(), [](const Job &queued) { return queued.counted; });
            if (last != m_queue.crend() && last->kind == Kind::load)
                return;
        }
        m_queue.push_back(Job { kind, std::move(job) });
        m_changed.notify_all();
    }
    startThread();
    if (m_pending++ == 0 && !m_busy)
        m_busyTimer.start();
}

void LibraryWorker::postRelease(std::function<void()> holder)
{
    if (m_finished)
        return;
    {
        const std::lock_guard lock(m_mutex);
        // A write, so that finish() never drops it onto the owner's thread.
        m_queue.push_back(Job { Kind::write, std::move(holder), false });
        m_changed.notify_all();
    }
    startThread();
}

void LibraryWorker::startThread()
{
    if (m_thread)
        return;
    m_thread = std::make_unique<JobThread>([this] { runJobs(); });
    m_thread->setObjectName(u"LibraryWorker"_s);
    m_thread->start();
}

void LibraryWorker::runJobs()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
        if (m_queue.empty())
            return;
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        m_running = true;
        lock.unlock();
        job.run();
        job.run = nullptr;
        // Posted after whatever the job posted, so the owner hears of it after the results.
        if (job.counted)
            QMetaObject::invokeMethod(
                this, [this] { jobDone(); }, Qt::QueuedConnection);
        lock.lock();
        m_running = false;
        m_changed.notify_all();
    }
}

void LibraryWorker::waitForIdle()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_running; });
}

void LibraryWorker::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    int dropped = 0;
    {
        const std::lock_guard lock(m_mutex);
        // A load nobody will see is not worth waiting for.
        dropped = int(std::erase_if(m_queue, [](const Job &job) { return job.kind == Kind::load; }));
        m_stopping = true;
        m_changed.notify_all();
    }
    if (m_thread) {
        m_thread->wait();
        // The thread last touched our state under the lock; taking it once more orders all of that
        // before what follows (our destruction) where the thread sanitizer can see it, since
        // QThread::wait orders inside Qt.
        const std::lock_guard lock(m_mutex);
    }
    m_pending -= dropped;
    if (m_pending <= 0) {
        m_busyTimer.stop();
        setBusy(false);
    }
}

void LibraryWorker::jobDone()
{
    if (--m_pending > 0)
        return;
    m_busyTimer.stop();
    setBusy(false);
}

void LibraryWorker::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    Q_EMIT busyChanged(busy);
}
