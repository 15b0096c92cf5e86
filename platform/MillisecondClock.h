#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// The monotonic clock. Time is read in microseconds so that a stopwatch counts whole
// milliseconds from the moment it was started, not from the last whole millisecond of the
// clock; tests put a clock of their own in its place.
class MillisecondClock {
public:
    virtual ~MillisecondClock() = default;

    // Microseconds since an arbitrary, fixed origin; never goes back.
    virtual std::uint64_t NowMicroseconds() const {
        using namespace std::chrono;
        return static_cast<std::uint64_t>(
            duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
    }
    // Milliseconds on the same scale, wrapping at 2^32.
    std::uint32_t Now() const { return static_cast<std::uint32_t>(NowMicroseconds() / 1000); }

    // The process's steady clock.
    static const MillisecondClock& system() {
        static const MillisecondClock clock;
        return clock;
    }
};

}  // namespace platform
