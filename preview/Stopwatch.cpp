#include "preview/Stopwatch.h"

#include "preview/MillisecondClock.h"

Stopwatch::Stopwatch(const MillisecondClock& clock) : m_clock(clock) {
    Reset();
}

std::uint32_t Stopwatch::Reset() {
    m_start = m_clock.NowMicroseconds();
    m_paused = false;
    return static_cast<std::uint32_t>(m_start / 1000);
}

std::uint64_t Stopwatch::elapsedMicroseconds() const {
    const std::uint64_t now = m_paused ? m_pausedAt : m_clock.NowMicroseconds();
    return now > m_start ? now - m_start : 0;
}

std::uint32_t Stopwatch::Elapsed() const {
    return static_cast<std::uint32_t>(elapsedMicroseconds() / 1000);
}

void Stopwatch::Pause(bool on) {
    if (on) {
        m_pausedAt = m_clock.NowMicroseconds();
        m_paused = true;
    } else if (m_paused) {
        m_start += m_clock.NowMicroseconds() - m_pausedAt;
        m_paused = false;
    }
}

void Stopwatch::Shift(std::uint32_t ms) {
    m_start += std::uint64_t{ms} * 1000;
}

std::uint64_t Stopwatch::MicrosecondsUntil(std::uint32_t ms) const {
    const std::uint64_t wanted = std::uint64_t{ms} * 1000;
    const std::uint64_t elapsed = elapsedMicroseconds();
    return elapsed >= wanted ? 0 : wanted - elapsed;
}
