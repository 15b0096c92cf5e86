#pragma once

#include <cstdint>

// The monotonic clock of the preview's stopwatch. Time is read in microseconds so that a
// stopwatch counts whole milliseconds from the moment it was started, not from the last
// whole millisecond of the clock; tests put a clock of their own in its place.
class MillisecondClock {
public:
    virtual ~MillisecondClock() = default;

    // Microseconds since an arbitrary, fixed origin; never goes back.
    virtual std::uint64_t NowMicroseconds() const;
    // Milliseconds on the same scale, wrapping at 2^32.
    std::uint32_t Now() const { return static_cast<std::uint32_t>(NowMicroseconds() / 1000); }

    // The process's steady clock.
    static const MillisecondClock& system();
};
