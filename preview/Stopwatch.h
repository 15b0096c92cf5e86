#pragma once

#include <cstdint>

class MillisecondClock;

// Measures the time since the last Reset in whole milliseconds. Pausing freezes the reading;
// resuming moves the start on by the paused time.
class Stopwatch {
public:
    // Starts at once. The clock must outlive the stopwatch.
    explicit Stopwatch(const MillisecondClock& clock);
    virtual ~Stopwatch() = default;

    // Starts again from now; returns the start in milliseconds.
    std::uint32_t Reset();
    std::uint32_t Elapsed() const;
    void Pause(bool on);
    bool IsPaused() const { return m_paused; }
    bool HasElapsed(std::uint32_t ms) const { return Elapsed() >= ms; }
    // Moves the start ms later.
    void Shift(std::uint32_t ms);
    // Microseconds until HasElapsed(ms) holds; 0 when it already does. While paused the
    // reading stands still, so the answer is what it will be once resumed.
    std::uint64_t MicrosecondsUntil(std::uint32_t ms) const;

private:
    std::uint64_t elapsedMicroseconds() const;

    const MillisecondClock& m_clock;
    std::uint64_t m_start = 0;
    std::uint64_t m_pausedAt = 0;
    bool m_paused = false;
};
