#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

// One thread that runs jobs in the order they were posted: the slow writes of the editor's
// recovery data, so that the user interface never waits for a disk. A job owns the bytes it
// writes; the thread that posted it no longer touches them.
class BackgroundWriter {
public:
    using Job = std::function<void()>;

    BackgroundWriter();
    // Runs the jobs still queued, then ends the thread.
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    void post(Job job);
    // Jobs posted and not yet finished.
    std::size_t pending() const;
    // Waits until every job posted so far has run.
    void waitIdle();

private:
    void run();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    std::size_t m_running = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace platform
