#pragma once

#include <cstdint>

namespace platform {
class MillisecondClock;
}

// Measures the time since the last Reset, in whole milliseconds from that moment.
class Stopwatch {
public:
    // Starts at once. The clock must outlive the stopwatch.
    explicit Stopwatch(const platform::MillisecondClock& clock);

    // Starts again from now.
    void Reset();
    bool HasElapsed(std::uint32_t ms) const { return MicrosecondsUntil(ms) == 0; }
    // Microseconds until HasElapsed(ms) holds; 0 when it already does.
    std::uint64_t MicrosecondsUntil(std::uint32_t ms) const;

private:
    const platform::MillisecondClock& m_clock;
    std::uint64_t m_start = 0;
};
