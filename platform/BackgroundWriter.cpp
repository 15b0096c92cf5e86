#include "platform/BackgroundWriter.h"

namespace platform {

BackgroundWriter::BackgroundWriter() : m_thread([this] { run(); }) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void BackgroundWriter::post(Job job) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

std::size_t BackgroundWriter::pending() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_jobs.size() + m_running;
}

void BackgroundWriter::waitIdle() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && m_running == 0; });
}

void BackgroundWriter::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            return;  // stopping, and nothing left to write
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_running = 1;
        lock.unlock();
        job();
        job = nullptr;  // the job's bytes go here, off the user interface's thread
        lock.lock();
        m_running = 0;
        if (m_jobs.empty()) {
            m_idle.notify_all();
        }
    }
}

}  // namespace platform
