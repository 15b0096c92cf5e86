#include "preview/Stopwatch.h"

#include "platform/MillisecondClock.h"

Stopwatch::Stopwatch(const platform::MillisecondClock& clock) : m_clock(clock) {
    Reset();
}

void Stopwatch::Reset() {
    m_start = m_clock.NowMicroseconds();
}

std::uint64_t Stopwatch::MicrosecondsUntil(std::uint32_t ms) const {
    const std::uint64_t now = m_clock.NowMicroseconds();
    const std::uint64_t elapsed = now > m_start ? now - m_start : 0;
    const std::uint64_t wanted = std::uint64_t{ms} * 1000;
    return elapsed >= wanted ? 0 : wanted - elapsed;
}
